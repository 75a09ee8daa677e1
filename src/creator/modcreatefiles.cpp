#include "creator/modcreate.h"

#include "creator/frmcreate.h"
#include "platform/cp1252.h"
#include "storage/fileexists.h"
#include "storage/modfileio.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "storage/textrules.h"
#include "widgets/quiztext.h"

#include <filesystem>

namespace examo {

namespace {

std::string quizFilter() {
    return modFileIO::Filter({"Examo Tests (*.exm)", "*.exm"});
}

} // namespace

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
            if (!record::IsNoneMedia(media) && files::FileExists(media)) {
                if (files::FileExists(target)) {
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
    m_form.lblNumber->setText(numberCaption(1));
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
    return true;
}

// ---- file commands ----

void modCreate::mnuFileOpen_Click() {
    CurrentFile = modFileIO::ShowOpenDialog(m_services.fileDialogs, m_services.dialogs,
                                            static_cast<std::intptr_t>(m_form.winId()),
                                            quizFilter(), m_services.program.currentFolder());
    if (!files::FileExists(CurrentFile))
        return;
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
    try {
        const std::string path = modFileIO::ShowSaveDialog(
            m_services.fileDialogs, static_cast<std::intptr_t>(m_form.winId()), quizFilter(),
            m_services.program.currentFolder(), "exm");
        if (path.empty())
            return;
        if (!SaveQuiz(path))
            return;
        if (!files::FileExists(path)) {
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

} // namespace examo
