#include "player/modexamo.h"

#include "platform/cp1252.h"
#include "player/frmexamome.h"
#include "storage/fileexists.h"
#include "storage/files.h"
#include "storage/modfileio.h"
#include "storage/quizfile.h"
#include "storage/scorelog.h"
#include "storage/textrules.h"
#include "widgets/quiztext.h"

#include <QApplication>

#include <filesystem>

namespace examo {

namespace {

const QuizRunRules kPlayerRules{.wrongAnswerIcon = Dialogs::Icon::None,
                                .redStepOnTrueFalse = true,
                                .hideMediaClosesAll = true,
                                .playButtonError = "There has been an error playing the file.",
                                .outOfRangeAnswerCountsWrong = true};

bool isQuizPath(const std::string& path) {
    return text::EqualsNoCase(text::ExtensionOf(path), "exm");
}

} // namespace

modExamo::modExamo(frmExamoMe& form, PlayerServices& services)
    : QuizRun(form, services.quiz, kPlayerRules), m_player(form), m_playerServices(services) {}

std::string modExamo::recordAt(int n) {
    return n >= 1 && n <= 100 ? QuestionLines[static_cast<std::size_t>(n)] : std::string();
}

void modExamo::AssociateFileType() {
    ProgramInfo& program = m_playerServices.program;
    FileTypeRegistry& registry = m_playerServices.fileTypes;
    const std::string programPath = program.folder() + "/" + program.exeName();
    // Each write stands alone: one that fails leaves the others to do their part.
    registry.setValue("ExamoMe", "", "ExamoMe File");
    registry.setValue("ExamoMe", "shell\\open\\command", programPath + " %1");
    registry.setValue("ExamoMe", "DefaultIcon", programPath);
    registry.setValue(".exm", "", "ExamoMe");
}

void modExamo::Main() {
    AssociateFileType();
    m_player.show();
    Form_Load();
    const std::string commandLine = m_playerServices.program.commandLine();
    if (commandLine.empty())
        return;
    // Absolute before any rule reads it: the score log lies beside the quiz, not in the folder
    // the program happened to start in.
    const std::string path = files::PathNamedOn(commandLine);
    if (!isQuizPath(path))
        return;
    if (StudentName.empty())
        StudentName = SignIn();
    if (!signInOrEnd())
        return;
    // Desktops start programs in the home folder; media stored by bare names lie beside
    // the quiz, so the quiz's folder becomes the current one.
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::path(path).parent_path(), ec);
    LoadQuiz(path); // failures leave the window empty; File > Open is still there
    QuizPath = path;
}

bool modExamo::signInOrEnd() {
    if (!StudentName.empty())
        return true;
    const auto answer = m_services.dialogs.message("You must type a name.  Try again?",
                                                   Dialogs::Buttons::YesNo, Dialogs::Icon::None);
    if (answer == Dialogs::Answer::Yes)
        StudentName = SignIn();
    if (StudentName.empty()) {
        m_player.close();
        return false;
    }
    return true;
}

void modExamo::Form_Load() {
    m_player.show();
    m_player.repaint();
    ResetQuizState();
}

void modExamo::Form_Unload() {
    modSound::PlayResourceWave(m_services.media, 123, "sync");
    modSound::CloseAllMedia(m_services.media);
}

std::string modExamo::SignIn() {
    while (true) {
        const auto answer =
            m_services.dialogs.input("Type your name, please.", "Student Sign-in", "");
        std::string name = text::Trim(answer.value_or(""));
        if (name.empty())
            return {};
        // The score log holds Windows-1252: a name it cannot hold would be lost there.
        const auto encoded = cp1252::fromUtf8(name);
        if (encoded.ok())
            return name;
        const std::string letter = QString::fromUcs4(&*encoded.unencodable, 1).toStdString();
        m_services.dialogs.message("The letter " + letter +
                                       " cannot be kept in the score log.  Please type your "
                                       "name without it.",
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
}

std::string modExamo::FolderOf(const std::string& path) {
    return text::FolderOf(path);
}

bool modExamo::LoadQuiz(const std::string& path) {
    for (auto& line : QuestionLines)
        line.clear();
    const auto file = quizfile::Read(path);
    if (!file.ok()) {
        m_services.dialogs.message("The file " + text::QuoteInMessage(path) +
                                       " could not be opened as an ExamoMe test.  " +
                                       quizfile::Describe(file.error),
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    // Nothing to answer means nothing to score: a first click would log 1 of 1, 100%.
    if (file.contents.records.empty()) {
        m_services.dialogs.message("The file " + text::QuoteInMessage(path) + " has no questions.",
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    QuizTitle = file.contents.title;
    ClassName = file.contents.className;
    m_player.lblTitle->setText(fromQuizText(QuizTitle));
    m_player.lblTeacher->setText(fromQuizText(ClassName));
    const auto& records = file.contents.records;
    for (std::size_t i = 0; i < records.size(); ++i)
        QuestionLines[i + 1] = records[i];
    CurrentQuestion = 1;
    QuestionCount = static_cast<std::int16_t>(records.size());
    QuizOpen = true;
    ShowQuestion();
    return true;
}

void modExamo::ResetQuizState() {
    QuizOpen = false;
    CurrentQuestion = 1;
    CorrectAnswer = 0;
    Score = 0;
    MediaPath.clear();
    restartClock();
    QuestionCount = 0;
    QuizFolder.clear();
    QuizTitle.clear();
    ClassName.clear();
    StudentName.clear();
    QuizForm::unselect(m_player.optABCD);
    for (auto* l : m_player.lblMAnswer)
        l->clear();
    m_player.lblMQuestion->clear();
    m_player.lblTrueQuestion->clear();
    m_player.lblTeacher->clear();
    m_player.lblTitle->clear();
    UpdateCounters();
}

void modExamo::mnuFileOpen_Click() {
    ResetQuizState();
    StudentName = SignIn();
    if (!signInOrEnd())
        return;
    modSound::CloseAllMedia(m_services.media);
    QuizPath = modFileIO::ShowOpenDialog(m_playerServices.fileDialogs, m_services.dialogs,
                                         static_cast<std::intptr_t>(m_player.winId()),
                                         modFileIO::Filter({"Examo Tests (*.exm)", "*.exm"}),
                                         m_playerServices.program.currentFolder());
    if (!files::AnythingAt(QuizPath))
        return;
    if (!isQuizPath(QuizPath)) {
        m_services.dialogs.message("File does not appear to be a valid ExamoMe test.",
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    if (!LoadQuiz(QuizPath))
        return;
    QuizFolder = FolderOf(QuizPath);
}

bool modExamo::acceptsAnswer(bool trueFalsePanel) {
    if (QuizOpen)
        return true;
    modSound::PlayResourceWave(m_services.media, 123, trueFalsePanel ? "async" : "sync");
    m_services.dialogs.message(
        "No quiz is open.  Please choose 'Open' from the 'File' menu to begin another quiz.",
        Dialogs::Buttons::Ok, Dialogs::Icon::None);
    return false;
}

void modExamo::PlayRightSound() {
    if (RightSoundCounter < 108 || RightSoundCounter > 121)
        RightSoundCounter = 108;
    ++RightSoundCounter;
    modSound::PlayResourceWave(m_services.media, RightSoundCounter, "sync");
}

void modExamo::PlayWrongSound() {
    if (WrongSoundCounter < 101 || WrongSoundCounter > 107)
        WrongSoundCounter = 100;
    ++WrongSoundCounter;
    modSound::PlayResourceWave(m_services.media, WrongSoundCounter, "async");
}

void modExamo::markQuizEnd() {
    m_player.lblCount->setText(QStringLiteral("Question #") +
                               QString::fromStdString(text::Str(CurrentQuestion)));
}

void modExamo::ShowResults() {
    const Results results = finishScore(QuestionCount);
    QuestionCount = static_cast<std::int16_t>(results.count);

    scorelog::ScoreLogRecord entry;
    entry.studentName = cp1252::fromUtf8(StudentName).bytes;
    entry.score = Score;
    entry.questionCount = QuestionCount;
    entry.percentText = results.percent;
    entry.timeText = results.timeText;
    entry.finishedAt = m_services.clock.now();
    const std::string logPath = scorelog::ScoreLogPath(QuizPath);
    if (!scorelog::AppendEntry(logPath, entry))
        m_services.dialogs.message("Your score could not be written to the score log " +
                                       text::QuoteInMessage(logPath) +
                                       ".  Please tell your teacher.",
                                   Dialogs::Buttons::Ok, Dialogs::Icon::Critical);

    if (offerPrintedScore(results))
        PrintScore(QString::fromStdString(StudentName),
                   fromQuizText(QuizTitle) + QStringLiteral("  ") + fromQuizText(ClassName),
                   scoreLine(results), true);
    ResetQuizState();
}

std::string modExamo::HelpText() {
    return "Choose 'Open' from the 'File' menu to open a quiz.\r\n\r\n"
           "If a question is multiple choice, indicate your\r\n"
           "answer by clicking the A, B, C, or D button next to\r\n"
           "the correct answer.\r\n\r\n"
           "If a question is true/false, indicate your\r\n"
           "answer by clicking either the 'True' button\r\n"
           "or the 'False' button.\r\n\r\n"
           "You may click the appropriate 'Play' button\r\n"
           "to replay sounds and animations.\r\n\r\n"
           "Upon completion of the quiz, you may choose to\r\n"
           "print a paper copy of your score.  If you exit\r\n"
           "the program before answering the last question,\r\n"
           "no score will be logged.  Each time you open a\r\n"
           "quiz, you must enter your name.";
}

std::string modExamo::AboutText() {
    return "ExamoMe is a multimedia interactive \r\n"
           "quiz program designed for testing\r\n"
           "and/or study and review purposes.\r\n"
           "\r\n"
           "Version 1.0, for Linux desktops.\r\n"
           "Made for classrooms by the ExamoMe team.";
}

void modExamo::mnuHelpHelp_Click() {
    m_services.dialogs.message(HelpText(), Dialogs::Buttons::Ok, Dialogs::Icon::Information,
                               "Help for ExamoMe");
}

void modExamo::mnuHelpAbout_Click() {
    m_services.dialogs.message(AboutText() + readAloudNote(m_services.speech), Dialogs::Buttons::Ok,
                               Dialogs::Icon::Information);
}

} // namespace examo
