#include "creator/modcreate.h"

#include "creator/dlgask.h"
#include "creator/frmcreate.h"
#include "storage/fileexists.h"
#include "storage/files.h"
#include "storage/textrules.h"
#include "widgets/controltable.h"

namespace examo {

namespace {

constexpr const char* kCreatorTitle = "ExamoMe Test Creator";

bool isUntitled(const QString& caption) {
    return caption.compare(QStringLiteral("untitled"), Qt::CaseInsensitive) == 0;
}

} // namespace

modCreate::modCreate(frmCreate& form, CreatorServices& services)
    : m_form(form), m_services(services), m_ask(std::make_unique<dlgAsk>(*this, &form)) {}

modCreate::~modCreate() = default;

void modCreate::message(const std::string& text, Dialogs::Icon icon) {
    m_services.dialogs.message(text, Dialogs::Buttons::Ok, icon);
}

bool modCreate::inEditMode() const {
    return !m_form.lblEditMode->isHidden();
}

QString modCreate::numberCaption(int n) {
    return QString::fromStdString("Question #" + text::Str(n));
}

// ---- start-up, unload, recent files ----

void modCreate::Main() {
    const std::string commandLine = m_services.program.commandLine();
    m_form.show();
    Form_Load();
    if (commandLine.empty())
        return;
    // Absolute before any rule reads it, so the quiz's folder and its log are where it lies.
    const std::string argument = files::PathNamedOn(commandLine);
    const std::string ext = text::ExtensionOf(argument);
    if (text::EqualsNoCase(ext, "exm"))
        LoadQuiz(argument);
    else if (text::EqualsNoCase(ext, "log") && openLogViewer)
        openLogViewer(argument);
}

void modCreate::Form_Load() {
    SettingsStore& settings = m_services.settings;
    for (std::size_t n = 1; n <= 4; ++n) {
        const std::string value =
            settings.getSetting("ExamoForge", "Settings", "MRU" + std::to_string(n), "untitled");
        m_form.mnuRecent[n]->setText(QString::fromStdString(value));
    }
    for (std::size_t n = 1; n <= 4; ++n) {
        if (!isUntitled(m_form.mnuRecent[n]->text())) {
            m_form.mnuRecent[n]->setEnabled(true);
            m_form.mnuRecent[n]->setVisible(true);
        }
    }
    if (!isUntitled(m_form.mnuRecent[1]->text()))
        m_form.mnuFileRecent->menuAction()->setVisible(true);
    placeControl(m_form.grpMultiple, frmCreate::control("grpMultiple"));
    setLeftTwips(m_form.grpMultiple, frmCreate::kFrameLeft);
    setLeftTwips(m_form.grpTrueFalse, kOutOfSight);
    QuestionCounter = 1;
    m_form.show();
}

void modCreate::Form_Unload() {
    modSound::CloseAllMedia(m_services.media);
    for (std::size_t n = 1; n <= 4; ++n)
        m_services.settings.saveSetting("ExamoForge", "Settings", "MRU" + std::to_string(n),
                                        m_form.mnuRecent[n]->text().toStdString());
    if (closeOtherWindows)
        closeOtherWindows();
    m_ask->close();
}

void modCreate::AddRecentFile(const std::string& path) {
    const QString entry = QString::fromStdString(path);
    // File names are case-sensitive here: only the very same path is the same entry.
    for (std::size_t n = 1; n <= 4; ++n) {
        if (m_form.mnuRecent[n]->text() == entry)
            return;
    }
    for (std::size_t n = 4; n >= 2; --n) {
        m_form.mnuRecent[n]->setText(m_form.mnuRecent[n - 1]->text());
        if (!isUntitled(m_form.mnuRecent[n]->text())) {
            m_form.mnuRecent[n]->setEnabled(true);
            m_form.mnuRecent[n]->setVisible(true);
        }
    }
    m_form.mnuRecent[1]->setText(entry);
    m_form.mnuRecent[1]->setVisible(true);
    m_form.mnuRecent[1]->setEnabled(true);
    m_form.mnuFileRecent->menuAction()->setVisible(true);
}

void modCreate::setTitleFor(const std::string& path) {
    m_form.setWindowTitle(
        QString::fromStdString(std::string(kCreatorTitle) + " - " + text::BareName(path)));
}

void modCreate::mnuRecent_Click(int index) {
    if (index < 1 || index > 4)
        return;
    const std::string path =
        m_form.mnuRecent[static_cast<std::size_t>(index)]->text().toStdString();
    if (!files::FileExists(path) || !AskToSaveChanges())
        return;
    QuizFolder = text::FolderOf(path);
    ResetQuiz();
    if (!LoadQuiz(path))
        return;
    CurrentFile = path;
    SetHasQuestions(true);
    m_form.lblNumber->setText(numberCaption(QuestionCounter));
    setTitleFor(CurrentFile);
}

void modCreate::mnuFileNew_Click() {
    if (AskToSaveChanges())
        startEmptyQuiz();
}

void modCreate::startEmptyQuiz() {
    SetHasQuestions(false);
    QuestionCounter = 1;
    m_form.lblNumber->setText(numberCaption(1));
    m_form.setWindowTitle(QString::fromStdString(std::string(kCreatorTitle) + " - untitled.exm"));
    // A new quiz belongs to no file, and its media to no folder.
    CurrentFile.clear();
    markSaved({});
}

void modCreate::SetHasQuestions(bool flag) {
    enableQuizCommands(flag);
    ClearQuestionEditor();
    if (!flag)
        ResetQuiz();
}

void modCreate::enableQuizCommands(bool flag) {
    HasQuestions = flag;
    m_form.cmdPreview->setEnabled(flag);
    m_form.cmdOkay->setEnabled(flag);
    m_form.mnuFileSaveas->setEnabled(flag);
    m_form.mnuFileExport->setEnabled(flag);
    m_form.mnuFilePrint->setEnabled(flag);
    m_form.cboExist->setEnabled(flag);
}

void modCreate::ResetQuiz() {
    QuestionCounter = 0;
    SetEditMode(false);
    m_form.txtTeacher->clear();
    m_form.txtTitle->clear();
    m_form.cboExist->setEnabled(false);
    m_form.cboExist->clear();
    m_form.cboExist->setEditText(QStringLiteral("No questions yet."));
    for (std::size_t i = 0; i < QuestionRecords.size(); ++i) {
        QuestionRecords[i].clear();
        QuestionTexts[i].clear();
    }
}

} // namespace examo
