#pragma once

#include "quizrun/picturebox.h"
#include "widgets/controltable.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <functional>

namespace examo {

class modCreate;
class modPrint;
class CreatorMenus;

// A label that reports clicks (the edit-mode label is clicked to leave edit mode).
class ClickableLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The creator's main window: the quiz's title and class, the question editor, the list of
// existing questions, the media preview and the menus.
class frmCreate : public QMainWindow {
public:
    // Where the question frame in use stands; the other is out of sight.
    static constexpr int kFrameLeft = 120;

    // The row of the named control in the window's layout.
    static const ControlSpec& control(std::string_view name);

    explicit frmCreate(QWidget* parent = nullptr);
    void attach(modCreate* module);
    void attachMenus(CreatorMenus* menus);
    void attachPrint(modPrint* print);

    QLineEdit* txtTitle;
    QLineEdit* txtTeacher;
    std::array<QLabel*, 3> lblTitle;
    QGroupBox* grpType;
    std::array<QRadioButton*, 2> optType;

    QGroupBox* grpMultiple;
    QLineEdit* txtMQuestion;
    std::array<QLineEdit*, 4> txtManswer;
    std::array<QRadioButton*, 4> optABCD;
    QLineEdit* txtMpic;
    QPushButton* cmdMpic;
    QPushButton* cmdMRemove;
    std::array<QLabel*, 2> lblMultipleQuestion;

    QGroupBox* grpTrueFalse;
    QLineEdit* txtTFquestion;
    std::array<QRadioButton*, 2> optTrueAnswer;
    QLineEdit* txtTFpic;
    QPushButton* cmdPic;
    QPushButton* cmdTRemove;
    std::array<QLabel*, 3> lblTrueQuestion;

    QLabel* lblNumber;
    QComboBox* cboExist;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdRemove;
    ClickableLabel* lblEditMode;
    QPushButton* cmdOkay;
    QPushButton* cmdCancel;
    QPushButton* cmdPreview;
    PictureBox* picPreview;
    QLabel* lblPreview;
    QPushButton* cmdPlaywav;
    PictureBox* imgHide;

    QMenu* mnuFile;
    QAction* mnuFileNew;
    QAction* mnuFileOpen;
    QAction* mnuFileSaveas;
    QAction* mnuBar1;
    QAction* mnuFileImport;
    QAction* mnuFileExport;
    QAction* mnuBar4;
    QAction* mnuFilePrint;
    QAction* mnuFileCheckMedia;
    QAction* mnuBar2;
    QAction* mnuFileExit;
    QAction* mnuBar3;
    QMenu* mnuFileRecent;
    std::array<QAction*, 5> mnuRecent; // 1..4
    QMenu* mnuToolS;
    QAction* mnuToolScore;
    QAction* mnuToolAVI;
    QAction* mnuToolBar1;
    QAction* mnuToolNotepad;
    QAction* mnuToolSoundRecorder;
    QAction* mnuToolPaint;
    QAction* mnuToolExplorer;
    QMenu* mnuHelp;
    QAction* mnuHelpContents;
    QAction* mnuHelpAbout;
    QAction* mnuHelpWeb;
    QAction* mnuHelpAuthor;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    void buildEditor(QWidget* client);
    void buildSide(QWidget* client);
    void attachMediaBoxes(modCreate* module);

    modCreate* m_module = nullptr;
    // The module unloads once, however often the window is closed.
    bool m_unloaded = false;
};

} // namespace examo
