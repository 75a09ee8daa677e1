#include "creator/modcreate.h"

#include "creator/frmcreate.h"
#include "platform/cp1252.h"
#include "storage/fileexists.h"
#include "storage/mediafile.h"
#include "storage/modfileio.h"
#include "storage/questiontext.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "storage/textrules.h"
#include "widgets/quiztext.h"

#include <algorithm>
#include <filesystem>

namespace examo {

namespace {

std::string quizFilter() {
    return modFileIO::Filter({"Examo Tests (*.exm)", "*.exm"});
}

// Platforms save both formats as .txt; some name GIFT files .gift.
std::string questionFilter() {
    return modFileIO::Filter(
        {"Question Files (*.txt *.gift)", "*.txt;*.gift", "All Files (*.*)", "*.*"});
}

std::string giftFilter() {
    return modFileIO::Filter({"GIFT Questions (*.txt *.gift)", "*.txt;*.gift"});
}

} // namespace

// ---- saving and loading ----

bool modCreate::SaveQuiz(const std::string& path) {
    modSound::CloseAllMedia(m_services.media);
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).string();
    const std::string folder = text::FolderOf(ec ? path : absolute);
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
    Ungathered ungathered;
    for (int i = 1; i <= QuestionCounter - 1; ++i) {
        // The window keeps painting through a long save; commands wait until it is done.
        m_services.media.events.processEventsExceptInput();
        records.push_back(gatheredRecord(i, folder, ungathered));
    }
    if (!quizfile::Write(path, *title, *className, records))
        throw SaveError("  The file " + path + " could not be written.");
    // Only a quiz safely written may point at the copies beside it.
    for (std::size_t n = 0; n < records.size(); ++n)
        QuestionRecords[n + 1] = records[n];
    markSaved(ec ? path : absolute);
    // One message for all that was left behind.
    std::string text;
    const auto list = [&text](const char* heading, const std::vector<std::string>& lines) {
        if (lines.empty())
            return;
        text += text.empty() ? heading : std::string("\n\n") + heading;
        for (const auto& line : lines)
            text += "\n" + line;
    };
    list("These media files could not be found, so they were not copied beside the test:",
         ungathered.missing);
    list("These files are not pictures, sounds or movies that ExamoMe plays, so they were not "
         "copied beside the test:",
         ungathered.notMedia);
    if (!text.empty())
        message(text, Dialogs::Icon::Exclamation);
    return true;
}

std::string modCreate::gatheredRecord(int number, const std::string& folder,
                                      Ungathered& ungathered) {
    const std::string& stored = QuestionRecords[static_cast<std::size_t>(number)];
    auto fields = record::SplitFields(stored);
    const std::size_t mediaIndex = fields.size() == 8 ? 6 : fields.size() == 4 ? 2 : 0;
    if (mediaIndex == 0)
        return stored;
    std::string& field = fields[mediaIndex];
    const std::string media = cp1252::toUtf8(field);
    if (record::IsNoneMedia(media))
        return stored;
    // A bare name belongs to the quiz the record came from, wherever the dialogs have been.
    const std::string source = mediafile::Resolve(media, QuizFolder);
    const std::string line = "Question " + text::Dec(number) + ": " + text::QuoteInMessage(media);
    if (source.empty()) {
        ungathered.missing.push_back(line);
        return stored;
    }
    // Only files the programs play are gathered, never whatever a record names: a quiz from
    // elsewhere naming ~/.ssh/id_rsa must not copy it beside the quiz for the class.
    if (!mediafile::LooksLikeItsKind(source)) {
        ungathered.notMedia.push_back(line);
        return stored;
    }
    const std::string bare = text::BareName(source);
    const std::string target = folder + bare;
    std::string kept = source; // still found from the new folder when not copied there
    std::error_code ec;
    if (files::FileExists(target)) {
        // Already beside the quiz: stored by its bare name so the folder moves whole.
        if (std::filesystem::equivalent(source, target, ec))
            kept = bare;
    } else if (modFileIO::ShellCopy(m_services.shell, m_services.dialogs, source, target)) {
        kept = bare;
    }
    const auto encoded = cp1252::fromUtf8(kept);
    if (encoded.unencodable)
        return stored;
    field = encoded.bytes;
    return record::JoinFields(fields);
}

bool modCreate::LoadQuiz(const std::string& path) {
    for (std::size_t i = 0; i < QuestionRecords.size(); ++i) {
        QuestionRecords[i].clear();
        QuestionTexts[i].clear();
    }
    const auto file = quizfile::Read(path);
    if (!file.ok()) {
        message("The file " + text::QuoteInMessage(path) +
                    " could not be opened as an ExamoMe test.  " + quizfile::Describe(file.error),
                Dialogs::Icon::Critical);
        // Nothing of the previous quiz or its file stays: the state of File > New.
        startEmptyQuiz();
        return false;
    }
    m_form.txtTitle->setText(fromQuizText(file.contents.title));
    m_form.txtTeacher->setText(fromQuizText(file.contents.className));
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
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    markSaved(ec ? path : absolute.string());
    return true;
}

// ---- unsaved changes ----

modCreate::SavedQuiz modCreate::currentQuiz() const {
    SavedQuiz quiz{
        .title = m_form.txtTitle->text(), .className = m_form.txtTeacher->text(), .records = {}};
    for (int i = 1; i < QuestionCounter; ++i)
        quiz.records.push_back(QuestionRecords[static_cast<std::size_t>(i)]);
    return quiz;
}

void modCreate::markSaved(const std::string& path) {
    m_saved = currentQuiz();
    m_savedPath = path;
    QuizFolder = text::FolderOf(path);
}

bool modCreate::AskToSaveChanges() {
    if (currentQuiz() == m_saved)
        return true;
    const std::string name = m_savedPath.empty() ? "Untitled" : text::BareName(m_savedPath);
    const auto answer = m_services.dialogs.message(
        "Save changes to " + name + "?", Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question);
    if (answer == Dialogs::Answer::Yes)
        return saveAs();
    return answer == Dialogs::Answer::No;
}

// ---- file commands ----

void modCreate::mnuFileOpen_Click() {
    if (!AskToSaveChanges())
        return;
    CurrentFile = modFileIO::ShowOpenDialog(m_services.fileDialogs, m_services.dialogs,
                                            static_cast<std::intptr_t>(m_form.winId()),
                                            quizFilter(), m_services.program.currentFolder());
    if (!files::AnythingAt(CurrentFile))
        return;
    // The file name's extension: a dotted folder is no reason to refuse a quiz.
    if (!text::EqualsNoCase(text::ExtensionOf(CurrentFile), "exm")) {
        message("File does not appear to be a valid ExamoMe test.", Dialogs::Icon::Critical);
        return;
    }
    ResetQuiz();
    if (!LoadQuiz(CurrentFile))
        return;
    SetHasQuestions(true);
    m_form.lblNumber->setText(numberCaption(QuestionCounter));
    setTitleFor(CurrentFile);
    AddRecentFile(CurrentFile);
}

void modCreate::mnuFileSaveas_Click() {
    saveAs();
}

bool modCreate::saveAs() {
    try {
        const std::string path = modFileIO::ShowSaveDialog(
            m_services.fileDialogs, static_cast<std::intptr_t>(m_form.winId()), quizFilter(),
            m_services.program.currentFolder(), "exm");
        if (path.empty())
            return false;
        if (!SaveQuiz(path))
            return false;
        if (!files::FileExists(path)) {
            message("Error saving test!", Dialogs::Icon::Critical);
            return false;
        }
        CurrentFile = path;
        setTitleFor(path);
        AddRecentFile(CurrentFile);
        return true;
    } catch (const std::exception& e) {
        message(std::string("Error saving test!") + e.what(), Dialogs::Icon::Critical);
        return false;
    }
}

// ---- questions in and out ----

void modCreate::mnuFileImport_Click() {
    if (inEditMode())
        return;
    const std::string path = modFileIO::ShowOpenDialog(
        m_services.fileDialogs, m_services.dialogs, static_cast<std::intptr_t>(m_form.winId()),
        questionFilter(), m_services.program.currentFolder());
    if (path.empty())
        return;
    const auto file = questiontext::Read(path);
    if (!file.ok()) {
        message("The file " + text::QuoteInMessage(path) + " could not be imported.  " +
                    questiontext::Describe(file.error),
                Dialogs::Icon::Critical);
        return;
    }
    const auto& records = file.questions.records;
    // Appended as "Add This Question" appends, as far as the 100 places go.
    const int room = std::max(0, record::kMaxQuestions + 1 - QuestionCounter);
    const int added = std::min(room, static_cast<int>(records.size()));
    for (int n = 0; n < added; ++n) {
        const std::string& imported = records[static_cast<std::size_t>(n)];
        storeQuestion(imported, record::SplitFields(imported).at(1));
        ++QuestionCounter;
    }
    if (added > 0) {
        // A question being typed stays in the editor; only its number moves on.
        enableQuizCommands(true);
        m_form.lblNumber->setText(numberCaption(QuestionCounter));
        m_form.cboExist->setEditText(m_form.cboExist->itemText(0));
    }
    const int overLimit = static_cast<int>(records.size()) - added;
    const bool skipped = overLimit + file.questions.skipped() > 0;
    message(questiontext::Summary(added, file.questions, overLimit),
            skipped ? Dialogs::Icon::Exclamation : Dialogs::Icon::Information);
}

void modCreate::mnuFileExport_Click() {
    if (QuestionCounter <= 1) {
        message("There are no questions to export.", Dialogs::Icon::Information);
        return;
    }
    try {
        const std::string path = modFileIO::ShowSaveDialog(
            m_services.fileDialogs, static_cast<std::intptr_t>(m_form.winId()), giftFilter(),
            m_services.program.currentFolder(), "txt");
        if (path.empty())
            return;
        const std::vector<std::string> records(QuestionRecords.begin() + 1,
                                               QuestionRecords.begin() + QuestionCounter);
        const auto gift = questiontext::WriteGift(m_form.txtTitle->text().toStdString(),
                                                  m_form.txtTeacher->text().toStdString(), records);
        if (!files::WriteFileReplacing(path, gift.utf8)) {
            message("Error exporting questions!  The file " + text::QuoteInMessage(path) +
                        " could not be written.",
                    Dialogs::Icon::Critical);
            return;
        }
        if (gift.unreadable.empty())
            return;
        std::string left = "These questions could not be read, so they were not exported:";
        for (const int number : gift.unreadable)
            left += "\nQuestion " + text::Dec(number);
        message(left, Dialogs::Icon::Exclamation);
    } catch (const std::exception& e) {
        message(std::string("Error exporting questions!  ") + e.what(), Dialogs::Icon::Critical);
    }
}

void modCreate::cmdCancel_Click() {
    m_form.close();
}

} // namespace examo
