#pragma once

#include "media/modsound.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/pictureloader.h"
#include "platform/printer.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"
#include "platform/shell.h"
#include "platform/speech.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class QLineEdit;

namespace examo {

class frmCreate;
class dlgAsk;

// The services the creator uses.
struct CreatorServices {
    Dialogs& dialogs;
    FileDialogs& fileDialogs;
    Shell& shell;
    SettingsStore& settings;
    ProgramInfo& program;
    modSound::Media& media;
    PictureLoader& pictures;
    Printer& printer;
    Clock& clock;
    Speech& speech;
};

// The creator's quiz store and the operations of its main window: the question editor,
// the add and edit modes, saving and loading, the file commands and the recent files.
class modCreate {
public:
    modCreate(frmCreate& form, CreatorServices& services);
    ~modCreate();
    modCreate(const modCreate&) = delete;
    modCreate& operator=(const modCreate&) = delete;

    // The quiz store: records and question texts in Windows-1252, slots 1..100.
    std::array<std::string, 101> QuestionRecords;
    std::array<std::string, 101> QuestionTexts;
    std::int16_t QuestionCounter = 1;
    bool HasQuestions = false;
    std::string CurrentFile;
    std::string QuizFolder;
    std::string PreviewMediaPath;
    bool DontAskAgain = false;
    bool LeaveEditModeAnswer = false;

    void Main();
    void Form_Load();
    void Form_Unload();
    void SetHasQuestions(bool flag);
    void ResetQuiz();
    void AddRecentFile(const std::string& path);
    void mnuRecent_Click(int index);
    void mnuFileNew_Click();

    void optType_Click(int index);
    void cmdAdd_Click();
    bool AddMultipleChoice();
    bool AddTrueFalse();
    void cboExist_Click();
    bool DisplayMultipleChoice(const std::string& record);
    bool DisplayTrueFalse(const std::string& record);
    void cmdEdit_Click();
    bool SaveEditedMultipleChoice(int position);
    bool SaveEditedTrueFalse(int position);
    void cmdRemove_Click();
    void FillQuestionList();
    void SetEditMode(bool flag);
    void ClearQuestionEditor();
    void lblEditMode_Click();

    // Writes the quiz and gathers its media beside it. False when nothing was written because
    // the teacher was told why; throws SaveError when the file could not be written.
    bool SaveQuiz(const std::string& path);
    // Fills the store and the editor; false (with a message naming the file, and an empty
    // quiz) when the file is no quiz.
    bool LoadQuiz(const std::string& path);

    void mnuFileOpen_Click();
    void mnuFileSaveas_Click();
    void cmdOkay_Click() { mnuFileSaveas_Click(); }
    void cmdCancel_Click();
    void mnuFileExit_Click() { cmdCancel_Click(); }
    // Questions in and out in the plain-text formats of learning platforms (Aiken, GIFT).
    void mnuFileImport_Click();
    void mnuFileExport_Click();

    void cmdMpic_Click();
    void cmdPic_Click();
    void cmdMRemove_Click();
    void cmdTRemove_Click();
    void txtMpic_Change();
    void txtTFpic_Change();
    void PreviewMedia(const std::string& path);
    void ShowThumbnail();
    void ClearMediaPreview();
    void cmdPlaywav_Click();

    // Offers to save a quiz that differs from what was last saved or opened. False when the
    // command that asks must not go on (Cancel, or the save failed or was cancelled).
    bool AskToSaveChanges();

    bool inEditMode() const;
    dlgAsk& askDialog() { return *m_ask; }

    // Called at unload to close the creator's other windows.
    std::function<void()> closeOtherWindows;
    // Shows the score log viewer with a log named on the command line.
    std::function<void(const std::string&)> openLogViewer;

    class SaveError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

private:
    // The Windows-1252 form of a typed text, or nothing (after a message naming the
    // character) when it holds the field separator or a character the file cannot keep.
    std::optional<std::string> quizText(const QString& typed, const QString& where);
    std::optional<std::string> mediaField(const QString& typed);
    bool addQuestion(bool trueFalse);
    // Puts a question into the next slot of the store and the list; the caller counts it.
    void storeQuestion(const std::string& record, const std::string& questionText);
    // The commands that need a quiz with questions, on or off (the flag of SetHasQuestions).
    void enableQuizCommands(bool flag);
    bool saveEdited(bool trueFalse, int position);
    std::optional<std::string> buildRecord(bool trueFalse, const std::string& kindField,
                                           std::string* questionText);
    bool displayRecord(const std::string& record, bool trueFalse);
    void showFrame(bool trueFalse);
    void setTitleFor(const std::string& path);
    void startEmptyQuiz();
    void chooseMedia(QLineEdit* box);
    void mediaBoxChanged(QLineEdit* box);
    // Media a save did not gather, one line each ("Question 3: name").
    struct Ungathered {
        std::vector<std::string> missing;  // no such file
        std::vector<std::string> notMedia; // not a picture, sound or movie the programs play
    };
    // Record number with its media gathered into folder: a bare name when the file lies there;
    // what was not gathered is added to ungathered.
    std::string gatheredRecord(int number, const std::string& folder, Ungathered& ungathered);
    bool saveAs();

    // What was last saved or opened, to tell unsaved changes.
    struct SavedQuiz {
        QString title, className;
        std::vector<std::string> records;
        bool operator==(const SavedQuiz&) const = default;
    };
    SavedQuiz currentQuiz() const;
    void markSaved(const std::string& path);
    // "Question #n", the caption of lblNumber.
    static QString numberCaption(int n);
    void message(const std::string& text, Dialogs::Icon icon = Dialogs::Icon::None);

    frmCreate& m_form;
    CreatorServices& m_services;
    std::unique_ptr<dlgAsk> m_ask;
    SavedQuiz m_saved;
    std::string m_savedPath; // empty for a quiz never saved or opened
};

} // namespace examo
