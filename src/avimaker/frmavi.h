#pragma once

#include "platform/avifilelibrary.h"
#include "platform/dialogs.h"
#include "platform/dibformat.h"
#include "platform/filedialogs.h"
#include "platform/pictureloader.h"
#include "platform/programinfo.h"
#include "platform/shell.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

namespace examo {

// "ExamoMe AVI Maker": a list of bitmap files of one size and colour depth written as the
// frames of an AVI movie, one frame at a time. A window of its own that can stay open beside
// the creator; it loads when made and unloads when closed, and shown again it starts afresh.
class frmAVI : public QWidget {
public:
    frmAVI(Dialogs& dialogs, FileDialogs& fileDialogs, Shell& shell, ProgramInfo& program,
           AviFileLibrary& avi, PictureLoader& pictures, QWidget* parent = nullptr);
    ~frmAVI() override;

    QListWidget* lstDIBList;
    QPushButton* cmdFileOpen;
    QPushButton* cmdClearList;
    QPushButton* cmdWriteAVI;
    QPushButton* cmdCancel;
    QLabel* lblFrameRate;
    QLineEdit* txtFPS;
    QLabel* lblfps;
    QLabel* imgPreview;
    QLabel* lblStatus;

    void Form_Load();
    void Form_Unload();
    void cmdClearList_Click();
    void cmdFileOpen_Click();
    void cmdWriteAVI_Click();
    void cmdCancel_Click();

    bool HaveFirstFrame = false;
    std::int32_t FirstWidth = 0;
    std::int32_t FirstHeight = 0;
    std::int32_t FirstBitCount = 0;
    std::string LastBitmapFolder;

    // The frames-per-second text as the stream's rate: read as a number, halves rounded to
    // the even neighbour, then kept within 1 to 30.
    static std::uint32_t FramesPerSecond(const std::string& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Outcome { Finished, Stopped, Failed };
    struct Writing;

    void buildControls();
    Outcome writeMovie(Writing& w);
    void showPicture(const std::string& path);
    std::string entryPath(int row) const;
    void reload();

    Dialogs& m_dialogs;
    FileDialogs& m_fileDialogs;
    Shell& m_shell;
    ProgramInfo& m_program;
    AviFileLibrary& m_avi;
    PictureLoader& m_pictures;
    std::int32_t m_firstCompression = 0;
    std::array<dib::Channel, 3> m_firstChannels{};
    bool m_loaded = false;
};

} // namespace examo
