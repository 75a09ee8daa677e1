#include "creator/modcreate.h"

#include "creator/dlgask.h"
#include "creator/frmcreate.h"
#include "platform/cp1252.h"
#include "platform/twips.h"
#include "quizrun/fitpicture.h"
#include "storage/modfileio.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "storage/textrules.h"

#include <filesystem>

namespace examo {

namespace {

const char* kCreatorTitle = "ExamoMe Test Creator";

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool isUntitled(const QString& caption) {
    return caption.compare(QStringLiteral("untitled"), Qt::CaseInsensitive) == 0;
}

QString screenText(const std::string& cp1252) {
    return QString::fromStdString(cp1252::toUtf8(cp1252));
}

std::string quizFilter() {
    return modFileIO::Filter({"Examo Tests (*.exm)", "*.exm"});
}

std::string numberLabel(int n) {
    return "Question #" + text::Str(n);
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

// ---- start-up, unload, recent files ----

void modCreate::Main() {
    const std::string commandLine = m_services.program.commandLine();
    m_form.show();
    Form_Load();
    if (commandLine.empty())
        return;
    const std::string argument = commandLine.substr(0, commandLine.find("\r\n"));
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
    m_form.grpMultiple->setGeometry(twipsToPixels(120), twipsToPixels(840), twipsToPixels(3495),
                                    twipsToPixels(4335));
    frmCreate::setLeftTwips(m_form.grpMultiple, frmCreate::kFrameLeft);
    frmCreate::setLeftTwips(m_form.grpTrueFalse, frmCreate::kOutOfSight);
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
    if (!fileExists(path))
        return;
    QuizFolder = text::FolderOf(path);
    ResetQuiz();
    if (!LoadQuiz(path))
        return;
    CurrentFile = path;
    SetHasQuestions(true);
    m_form.lblNumber->setText(QString::fromStdString(numberLabel(QuestionCounter)));
    setTitleFor(CurrentFile);
}

void modCreate::mnuFileNew_Click() {
    SetHasQuestions(false);
    QuestionCounter = 1;
    m_form.lblNumber->setText(QString::fromStdString(numberLabel(1)));
    m_form.setWindowTitle(QString::fromStdString(std::string(kCreatorTitle) + " - untitled.exm"));
}

void modCreate::SetHasQuestions(bool flag) {
    HasQuestions = flag;
    m_form.cmdPreview->setEnabled(flag);
    m_form.cmdOkay->setEnabled(flag);
    m_form.mnuFileSaveas->setEnabled(flag);
    m_form.mnuFilePrint->setEnabled(flag);
    m_form.cboExist->setEnabled(flag);
    ClearQuestionEditor();
    if (!flag)
        ResetQuiz();
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

// ---- the question editor ----

void modCreate::showFrame(bool trueFalse) {
    frmCreate::setLeftTwips(m_form.grpTrueFalse,
                            trueFalse ? frmCreate::kFrameLeft : frmCreate::kOutOfSight);
    frmCreate::setLeftTwips(m_form.grpMultiple,
                            trueFalse ? frmCreate::kOutOfSight : frmCreate::kFrameLeft);
}

void modCreate::optType_Click(int index) {
    showFrame(index == 1);
    ClearMediaPreview();
    modSound::CloseAllMedia(m_services.media);
}

void modCreate::cmdAdd_Click() {
    if (QuestionCounter >= 101) {
        message("Tests are limited to 100 questions.", Dialogs::Icon::Critical);
        return;
    }
    bool added = false;
    if (m_form.optType[0]->isChecked())
        added = AddMultipleChoice();
    else if (m_form.optType[1]->isChecked())
        added = AddTrueFalse();
    if (added) {
        ++QuestionCounter;
        SetHasQuestions(true);
    }
}

std::optional<std::string> modCreate::quizText(const QString& typed, const QString& where) {
    const auto encoded = cp1252::fromUtf8(typed.toStdString());
    std::optional<char32_t> bad = encoded.unencodable;
    if (!bad && encoded.bytes.find(record::kSeparator) != std::string::npos)
        bad = U'\u00A9';
    if (!bad)
        return encoded.bytes;
    // The separator would split the record and shift every later field; other characters
    // cannot be written to the file at all.
    const QString ch = QString::fromUcs4(&*bad, 1);
    message(
        (QStringLiteral("The character %1 cannot be kept in %2.  Please remove it and try again.")
             .arg(ch, where))
            .toStdString(),
        Dialogs::Icon::Critical);
    return std::nullopt;
}

std::optional<std::string> modCreate::mediaField(const QString& typed) {
    if (typed.isEmpty())
        return std::string("none");
    return quizText(typed, QStringLiteral("a media file name"));
}

// The record of the editor's fields with the given kind field; nothing when a field is
// missing or cannot be stored (the teacher has been told).
std::optional<std::string> modCreate::buildRecord(bool trueFalse, const std::string& kindField,
                                                  std::string* questionText) {
    QLineEdit* questionBox = trueFalse ? m_form.txtTFquestion : m_form.txtMQuestion;
    if (questionBox->text().isEmpty()) {
        message("You must enter a question!", Dialogs::Icon::Critical);
        return std::nullopt;
    }
    const auto question = quizText(questionBox->text(), QStringLiteral("a question"));
    if (!question)
        return std::nullopt;
    *questionText = *question;
    if (trueFalse) {
        const auto media = mediaField(m_form.txtTFpic->text());
        if (!media)
            return std::nullopt;
        const int correct = m_form.optTrueAnswer[1]->isChecked() ? 1 : 0;
        return record::BuildTrueFalse(kindField, *question, *media, correct);
    }
    std::array<std::string, 4> answers;
    bool anyEmpty = false;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto answer = quizText(m_form.txtManswer[i]->text(), QStringLiteral("an answer"));
        if (!answer)
            return std::nullopt;
        answers[i] = *answer;
        anyEmpty = anyEmpty || answer->empty();
    }
    if (anyEmpty) {
        message("You must enter four possible answers!");
        return std::nullopt;
    }
    const auto media = mediaField(m_form.txtMpic->text());
    if (!media)
        return std::nullopt;
    int correct = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (m_form.optABCD[i]->isChecked())
            correct = static_cast<int>(i);
    }
    return record::BuildMultipleChoice(kindField, *question, answers, *media, correct);
}

bool modCreate::addQuestion(bool trueFalse) {
    std::string question;
    const auto record = buildRecord(trueFalse, std::string(1, trueFalse ? 't' : 'm'), &question);
    if (!record)
        return false;
    const auto slot = static_cast<std::size_t>(QuestionCounter);
    QuestionTexts[slot] = question;
    QuestionRecords[slot] = *record;
    m_form.cboExist->addItem(screenText(question));
    m_form.cboExist->setEditText(screenText(question));
    (trueFalse ? m_form.txtTFquestion : m_form.txtMQuestion)->setFocus();
    return true;
}

bool modCreate::AddMultipleChoice() {
    return addQuestion(false);
}

bool modCreate::AddTrueFalse() {
    return addQuestion(true);
}

void modCreate::cboExist_Click() {
    if (!inEditMode()) {
        QLineEdit* pending =
            m_form.optType[0]->isChecked() ? m_form.txtMQuestion : m_form.txtTFquestion;
        if (!pending->text().isEmpty()) {
            const auto answer = m_services.dialogs.message(
                "Going to edit mode will result in the loss of information in the current "
                "question, which has not yet been added to the quiz.  Would you like to add this "
                "question to the quiz?",
                Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
            if (answer == Dialogs::Answer::Yes) {
                cmdAdd_Click();
                return;
            }
        }
    }
    SetEditMode(true);
    modSound::CloseAllMedia(m_services.media);
    const int p = m_form.cboExist->currentIndex();
    bool shown = false;
    if (p >= 0 && p < 100) {
        const std::string r = text::Trim(QuestionRecords[static_cast<std::size_t>(p + 1)]);
        const auto kind = record::KindOf(r);
        if (kind == record::QuestionKind::MultipleChoice)
            shown = DisplayMultipleChoice(r);
        else if (kind == record::QuestionKind::TrueFalse)
            shown = DisplayTrueFalse(r);
    }
    if (shown)
        m_form.lblNumber->setText(QString::fromStdString(numberLabel(p + 1)));
    else
        message("Unable to display this question.  Question appears to be corrupted.",
                Dialogs::Icon::Critical);
}

bool modCreate::displayRecord(const std::string& r, bool trueFalse) {
    const auto fields = record::SplitFields(r);
    if (!m_form.optType[trueFalse ? 1 : 0]->isChecked()) {
        m_form.optType[trueFalse ? 1 : 0]->setChecked(true);
        optType_Click(trueFalse ? 1 : 0);
    }
    showFrame(trueFalse);
    if (r.empty())
        return false;
    const auto parsed = record::ParseQuestion(r);
    if (!parsed.question) {
        message("An error has occured.  Unable to process question " +
                cp1252::toUtf8(fields.empty() ? std::string() : fields[0]));
        return false;
    }
    const record::Question& q = *parsed.question;
    if (trueFalse) {
        if (q.correct < 0 || q.correct > 1)
            return false;
        m_form.txtTFquestion->setText(screenText(q.text));
        m_form.txtTFpic->setText(screenText(q.media));
        m_form.optTrueAnswer[static_cast<std::size_t>(q.correct)]->setChecked(true);
    } else {
        if (q.correct < 0 || q.correct > 3)
            return false;
        m_form.txtMQuestion->setText(screenText(q.text));
        for (std::size_t i = 0; i < 4; ++i)
            m_form.txtManswer[i]->setText(screenText(q.answers[i]));
        m_form.txtMpic->setText(screenText(q.media));
        m_form.optABCD[static_cast<std::size_t>(q.correct)]->setChecked(true);
    }
    const std::string media = cp1252::toUtf8(q.media);
    if (fileExists(media) && !record::IsNoneMedia(media))
        PreviewMedia(media);
    else if (fileExists(QuizFolder + media))
        PreviewMedia(QuizFolder + media);
    return true;
}

bool modCreate::DisplayMultipleChoice(const std::string& r) {
    return displayRecord(r, false);
}

bool modCreate::DisplayTrueFalse(const std::string& r) {
    return displayRecord(r, true);
}

void modCreate::cmdEdit_Click() {
    const int p = m_form.cboExist->currentIndex();
    bool saved = false;
    if (m_form.optType[0]->isChecked())
        saved = SaveEditedMultipleChoice(p);
    else if (m_form.optType[1]->isChecked())
        saved = SaveEditedTrueFalse(p);
    if (!saved) {
        message("There has been an error in editing this question.", Dialogs::Icon::Critical);
        return;
    }
    SetEditMode(false);
    ClearQuestionEditor();
}

bool modCreate::saveEdited(bool trueFalse, int p) {
    if (p < 0 || p > 99)
        return false;
    std::string question;
    const std::string kind = std::string(1, trueFalse ? 't' : 'm') + " " + text::Str(p + 1);
    const auto record = buildRecord(trueFalse, kind, &question);
    if (!record)
        return false;
    QuestionTexts[static_cast<std::size_t>(p + 1)] = question;
    QuestionRecords[static_cast<std::size_t>(p + 1)] = *record;
    FillQuestionList();
    (trueFalse ? m_form.txtTFquestion : m_form.txtMQuestion)->setFocus();
    return true;
}

bool modCreate::SaveEditedMultipleChoice(int position) {
    return saveEdited(false, position);
}

bool modCreate::SaveEditedTrueFalse(int position) {
    return saveEdited(true, position);
}

void modCreate::cmdRemove_Click() {
    const int k = m_form.cboExist->currentIndex() + 1;
    if (k < 1 || k >= QuestionCounter) {
        message("Error removing question.", Dialogs::Icon::Critical);
        return;
    }
    for (int i = k; i <= QuestionCounter - 2; ++i) {
        const auto at = static_cast<std::size_t>(i);
        QuestionRecords[at] = QuestionRecords[at + 1];
        const auto fields = record::SplitFields(QuestionRecords[at]);
        QuestionTexts[at] = fields.size() > 1 ? fields[1] : std::string();
    }
    --QuestionCounter;
    FillQuestionList();
    SetEditMode(false);
    ClearQuestionEditor();
}

void modCreate::FillQuestionList() {
    try {
        m_form.cboExist->clear();
        for (int n = 1; n <= QuestionCounter - 1; ++n)
            m_form.cboExist->addItem(screenText(QuestionTexts.at(static_cast<std::size_t>(n))));
        m_form.cboExist->update();
        if (m_form.cboExist->count() > 0)
            m_form.cboExist->setCurrentIndex(0);
        m_form.cboExist->setEditText(screenText(QuestionTexts[1]));
    } catch (const std::exception&) {
        message("This test has become corrupted.  Please start a new test, or open an existing "
                "test.");
    }
}

void modCreate::SetEditMode(bool flag) {
    m_form.cmdEdit->setEnabled(flag);
    m_form.cmdRemove->setEnabled(flag);
    m_form.cmdAdd->setEnabled(!flag);
    m_form.lblEditMode->setVisible(flag);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_form.cmdPreview, m_form.cmdOkay, m_form.grpType,
                                         m_form.optType[0], m_form.optType[1]})
        w->setEnabled(!flag);
    m_form.mnuFileSaveas->setEnabled(!flag);
    m_form.mnuFilePrint->setEnabled(!flag);
    if (!flag)
        m_form.cboExist->setEditText(QStringLiteral("Existing Questions"));
}

void modCreate::ClearQuestionEditor() {
    modSound::CloseAllMedia(m_services.media);
    PreviewMediaPath.clear();
    for (auto* box : m_form.txtManswer)
        box->clear();
    m_form.txtMpic->setText(QStringLiteral("none"));
    m_form.txtMQuestion->clear();
    m_form.txtTFpic->setText(QStringLiteral("none"));
    m_form.txtTFquestion->clear();
    m_form.lblNumber->setText(QString::fromStdString(numberLabel(QuestionCounter)));
    m_form.cboExist->setEditText(m_form.cboExist->count() > 0 ? m_form.cboExist->itemText(0)
                                                              : QString());
    ClearMediaPreview();
}

void modCreate::lblEditMode_Click() {
    if (!DontAskAgain)
        m_ask->showModal();
    if (LeaveEditModeAnswer) {
        SetEditMode(false);
        ClearQuestionEditor();
    }
}

// ---- saving and loading ----

bool modCreate::SaveQuiz(const std::string& path) {
    modSound::CloseAllMedia(m_services.media);
    const std::string folder = text::FolderOf(path);
    if (m_form.txtTitle->text().isEmpty() || m_form.txtTeacher->text().isEmpty()) {
        message("Please fill in all fields before attempting to save this test.",
                Dialogs::Icon::Critical);
        return false;
    }
    const auto title = quizText(m_form.txtTitle->text(), QStringLiteral("the test title"));
    const auto className =
        title ? quizText(m_form.txtTeacher->text(), QStringLiteral("the class")) : std::nullopt;
    if (!title || !className)
        return false;
    std::vector<std::string> records;
    for (int i = 1; i <= QuestionCounter - 1; ++i) {
        // The window keeps painting through a long save; commands wait until it is done.
        m_services.media.events.processEventsExceptInput();
        std::string& stored = QuestionRecords[static_cast<std::size_t>(i)];
        auto fields = record::SplitFields(stored);
        const std::size_t mediaIndex = fields.size() == 8 ? 6 : fields.size() == 4 ? 2 : 0;
        if (mediaIndex != 0) {
            std::string& field = fields[mediaIndex];
            const std::string media = cp1252::toUtf8(field);
            const std::string bare = text::BareName(media);
            const std::string target = folder + bare;
            std::error_code ec;
            if (!record::IsNoneMedia(media) && fileExists(media)) {
                if (fileExists(target)) {
                    // Already beside the quiz: stored by its bare name so the folder moves whole.
                    if (std::filesystem::equivalent(media, target, ec))
                        field = cp1252::fromUtf8(bare).bytes;
                } else if (modFileIO::ShellCopy(m_services.shell, m_services.dialogs, media,
                                                target)) {
                    field = cp1252::fromUtf8(bare).bytes;
                }
            }
            stored = record::JoinFields(fields);
        }
        records.push_back(stored);
    }
    if (!quizfile::Write(path, *title, *className, records))
        throw SaveError("  The file " + path + " could not be written.");
    return true;
}

void modCreate::startEmptyQuiz() {
    SetHasQuestions(false);
    QuestionCounter = 1;
    m_form.lblNumber->setText(QString::fromStdString(numberLabel(1)));
}

bool modCreate::LoadQuiz(const std::string& path) {
    for (std::size_t i = 0; i < QuestionRecords.size(); ++i) {
        QuestionRecords[i].clear();
        QuestionTexts[i].clear();
    }
    const auto file = quizfile::Read(path);
    if (!file.ok()) {
        message("The file " + path + " could not be opened as an ExamoMe test.  " +
                    quizfile::Describe(file.error),
                Dialogs::Icon::Critical);
        startEmptyQuiz();
        return false;
    }
    m_form.txtTitle->setText(screenText(file.contents.title));
    m_form.txtTeacher->setText(screenText(file.contents.className));
    const auto& records = file.contents.records;
    for (std::size_t n = 0; n < records.size(); ++n) {
        QuestionRecords[n + 1] = records[n];
        const auto fields = record::SplitFields(records[n]);
        QuestionTexts[n + 1] = fields.size() > 1 ? fields[1] : std::string();
    }
    QuestionCounter = static_cast<std::int16_t>(records.size() + 1);
    SetHasQuestions(true);
    ClearQuestionEditor();
    FillQuestionList();
    return true;
}

// ---- file commands ----

void modCreate::mnuFileOpen_Click() {
    CurrentFile = modFileIO::ShowOpenDialog(m_services.fileDialogs, m_services.dialogs,
                                            static_cast<std::intptr_t>(m_form.winId()),
                                            quizFilter(), m_services.program.currentFolder());
    if (!fileExists(CurrentFile))
        return;
    if (!text::EqualsNoCase(text::ExtensionOf(CurrentFile), "exm")) {
        message("File does not appear to be a valid ExamoMe test.", Dialogs::Icon::Critical);
        return;
    }
    ResetQuiz();
    if (!LoadQuiz(CurrentFile))
        return;
    SetHasQuestions(true);
    m_form.lblNumber->setText(QString::fromStdString(numberLabel(QuestionCounter)));
    setTitleFor(CurrentFile);
    AddRecentFile(CurrentFile);
}

void modCreate::mnuFileSaveas_Click() {
    try {
        const std::string path = modFileIO::ShowSaveDialog(
            m_services.fileDialogs, static_cast<std::intptr_t>(m_form.winId()), quizFilter(),
            m_services.program.currentFolder(), "exm");
        if (path.empty())
            return;
        if (!SaveQuiz(path))
            return;
        if (!fileExists(path)) {
            message("Error saving test!", Dialogs::Icon::Critical);
            return;
        }
        CurrentFile = path;
        setTitleFor(path);
        AddRecentFile(CurrentFile);
    } catch (const std::exception& e) {
        message(std::string("Error saving test!") + e.what(), Dialogs::Icon::Critical);
    }
}

void modCreate::cmdCancel_Click() {
    m_form.close();
}

// ---- the editor's media preview ----

void modCreate::PreviewMedia(const std::string& path) {
    PreviewMediaPath = path;
    const std::string ext = text::ToLowerAscii(text::ExtensionOf(path));
    auto& media = m_services.media;
    auto sound = [this](const QString& label, const QString& button) {
        m_form.lblPreview->setText(label);
        m_form.cmdPlaywav->setText(button);
        m_form.cmdPlaywav->show();
        m_form.picPreview->clearPicture();
        m_form.picPreview->hide();
    };
    auto movie = [this](const QString& label) {
        m_form.lblPreview->setText(label);
        m_form.cmdPlaywav->hide();
        m_form.picPreview->show();
    };
    if (ext == "wav") {
        sound(QStringLiteral("Wav Preview"), QStringLiteral("Play Wav"));
        modSound::PlayWaveFile(media, path, "async");
    } else if (ext == "avi") {
        movie(QStringLiteral("Avi Preview"));
        modSound::PlayAviMovie(media, path, *m_form.picPreview, true);
    } else if (ext == "mpg" || ext == "mpeg") {
        movie(QStringLiteral("MPEG Preview"));
        modSound::PlayMpegMovie(media, path, *m_form.picPreview, true);
    } else if (ext == "mid" || ext == "midi") {
        sound(QStringLiteral("Midi Preview"), QStringLiteral("Play Midi"));
        modSound::PlayMidiFile(media, path);
    } else if (ext == "mp3") {
        sound(QStringLiteral("MP3 Preview"), QStringLiteral("Play MP3"));
        modSound::PlayMp3File(media, path);
    } else if (ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "wmf") {
        m_form.lblPreview->setText(QStringLiteral("Picture Preview"));
        m_form.picPreview->show();
        const QImage picture = m_services.pictures.load(QString::fromStdString(path));
        if (picture.isNull()) {
            message("Error loading media file!", Dialogs::Icon::Critical);
            return;
        }
        m_form.imgHide->setAutoSizedPicture(picture);
        ShowThumbnail();
    }
}

void modCreate::ShowThumbnail() {
    const QImage& picture = m_form.imgHide->picture();
    if (picture.isNull())
        return;
    const QRect r = FittedRect(picture.width(), picture.height(), m_form.picPreview->innerWidth(),
                               m_form.picPreview->innerHeight());
    m_form.picPreview->clearPicture();
    m_form.picPreview->paintPicture(picture, r.x(), r.y(), r.width(), r.height());
    m_form.cmdPlaywav->hide();
    m_form.picPreview->show();
    m_form.lblPreview->setText(QStringLiteral("Picture Thumbnail"));
}

void modCreate::ClearMediaPreview() {
    m_form.picPreview->clearPicture();
    m_form.picPreview->hide();
    m_form.lblPreview->setText(QStringLiteral("No Media Chosen"));
    m_form.cmdPlaywav->hide();
    m_form.imgHide->setAutoSizedPicture(QImage());
    modSound::CloseAllMedia(m_services.media);
}

void modCreate::cmdPlaywav_Click() {
    const std::string ext = text::ToLowerAscii(text::ExtensionOf(PreviewMediaPath));
    auto& media = m_services.media;
    modSound::CloseAllMedia(media);
    if (ext == "wav")
        modSound::PlayWaveFile(media, PreviewMediaPath, "async");
    else if (ext == "mid" || ext == "midi")
        modSound::PlayMidiFile(media, PreviewMediaPath);
    else if (ext == "mp3")
        modSound::PlayMp3File(media, PreviewMediaPath);
}

} // namespace examo
