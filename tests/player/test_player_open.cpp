#include "playerfixture.h"
#include "support/captionfit.h"

#include "storage/quizfile.h"
#include "storage/scorelog.h"
#include "storage/textrules.h"

#include <sys/stat.h>

using namespace examo;
using examo::testing::PlayerTest;
using Message = fakes::FakeDialogs::Message;

TEST_F(PlayerTest, StartingRecordsTheFileTypeAndShowsAnEmptyWindow) {
    program.folderPath = "/opt/examo";
    program.exe = "ExamoMe";
    mod.Main();
    ASSERT_EQ(fileTypes.values.size(), 4u);
    EXPECT_EQ(fileTypes.values[0].value, "ExamoMe File");
    EXPECT_EQ(fileTypes.values[1].subKey, "shell\\open\\command");
    EXPECT_EQ(fileTypes.values[1].value, "/opt/examo/ExamoMe %1");
    EXPECT_EQ(fileTypes.values[2].value, "/opt/examo/ExamoMe");
    EXPECT_EQ(fileTypes.values[3].key, ".exm");
    EXPECT_EQ(fileTypes.values[3].value, "ExamoMe");

    EXPECT_EQ(form.windowTitle(), QStringLiteral("ExamoMe - Interactive Quiz"));
    EXPECT_EQ(form.lblCount->text(), QStringLiteral("Question # 1"));
    EXPECT_EQ(form.lblScore->text(), QStringLiteral("Score: 0 correct of 0 total."));
    EXPECT_EQ(form.lblTitle->text(), QString());
    EXPECT_EQ(leftTwips(form.grpMultiple), 4320);
    EXPECT_LT(leftTwips(form.grpTrueFalse), -19980);
    EXPECT_FALSE(form.picPic->isVisible());
    EXPECT_FALSE(form.cmdPreview->isVisible());
    EXPECT_TRUE(dialogs.inputs.empty()); // no command line: nobody is asked to sign in
}

TEST_F(PlayerTest, ACommandLineQuizAsksForTheNameAndShowsQuestionOne) {
    const auto path = writeQuiz("math.exm", multipleChoice(3));
    program.command = path;
    dialogs.inputAnswers.push_back("  Ann  ");
    mod.Main();
    ASSERT_EQ(dialogs.inputs.size(), 1u);
    EXPECT_EQ(dialogs.inputs[0].prompt, "Type your name, please.");
    EXPECT_EQ(dialogs.inputs[0].title, "Student Sign-in");
    EXPECT_EQ(mod.StudentName, "Ann");
    EXPECT_TRUE(mod.QuizOpen);
    EXPECT_EQ(mod.QuizPath, path);
    EXPECT_EQ(mod.QuizFolder, ""); // media are looked up from the current folder
    EXPECT_EQ(std::filesystem::current_path().string() + "/", examo::text::FolderOf(path));
    EXPECT_EQ(form.lblTitle->text(), QStringLiteral("Farm Animals"));
    EXPECT_EQ(form.lblMQuestion->text(), QStringLiteral("Question 1"));
    EXPECT_EQ(form.lblMAnswer[2]->text(), QStringLiteral("Pig"));
    EXPECT_EQ(form.lblScore->text(), QStringLiteral("Score: 0 correct of 3 total."));
}

TEST_F(PlayerTest, OnlyCommandLinesNamingAQuizAreTaken) {
    writeQuiz("quiz.exm.bak", multipleChoice(1));
    struct Case {
        std::string command;
        bool taken;
    };
    for (const Case& c :
         {Case{dir.path("quiz.exm.bak"), false}, Case{"\"" + dir.path("quiz.exm") + "\"", false},
          Case{writeQuiz("MATH.EXM", multipleChoice(1)), true}}) {
        dialogs.inputAnswers = {"Ann"};
        program.command = c.command;
        mod.Main();
        EXPECT_EQ(mod.QuizOpen, c.taken) << c.command;
        EXPECT_EQ(dialogs.inputs.size(), c.taken ? 1u : 0u) << c.command;
        EXPECT_TRUE(dialogs.messages.empty()) << c.command;
    }
}

TEST_F(PlayerTest, AQuizWithNoQuestionsIsRefusedWhenOpenedAndNothingIsLogged) {
    // Header only, and a whole quiz whose CR LF became LF: one line, read as a header.
    const auto headerOnly = writeQuiz("empty.exm", {});
    const auto flattened = dir.path("flat.exm");
    std::string bytes = quizfile::Encode("Farm Animals", "Grade 3", multipleChoice(2));
    for (auto at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
        bytes.erase(at, 1);
    examo::testing::writeBytes(flattened, bytes);
    for (const auto& path : {headerOnly, flattened}) {
        const std::string refusal = "The file " + path + " has no questions.";
        ExamoMe other{services};
        dialogs.messages.clear();
        dialogs.inputAnswers = {"Ann"};
        program.command = path;
        other.module().Main();
        EXPECT_FALSE(other.module().QuizOpen) << path;
        ASSERT_EQ(dialogs.messages.size(), 1u) << path;
        EXPECT_EQ(dialogs.messages[0].text, refusal);

        dialogs.messages.clear();
        openAsAnn(path);
        EXPECT_FALSE(mod.QuizOpen) << path;
        ASSERT_EQ(dialogs.messages.size(), 1u) << path;
        EXPECT_EQ(dialogs.messages[0].text, refusal);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
        EXPECT_EQ(form.lblTitle->text(), QString());
        // A click now only says that no quiz is open.
        dialogs.answers = {Dialogs::Answer::No};
        click(form.optABCD[1]);
        EXPECT_EQ(dialogs.messages.back().text,
                  "No quiz is open.  Please choose 'Open' from the 'File' menu to begin another "
                  "quiz.");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("empty.log")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("flat.log")));
}

TEST_F(PlayerTest, AQuizInADottedFolderIsTakenAndLogsBesideItFromEitherEntry) {
    std::filesystem::create_directories(dir.path("x/a.b/c"));
    const auto path = writeQuiz("x/a.b/c/quiz.exm", multipleChoice(1));
    const auto log = dir.path("x/a.b/c/quiz.log");
    // Started from another folder by a relative path, then opened again by File > Open.
    std::filesystem::current_path(dir.path("x"));
    program.command = "a.b/c/quiz.exm";
    dialogs.inputAnswers.push_back("Ann");
    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::No}; // no printed scores
    mod.Main();
    EXPECT_EQ(mod.QuizPath, path);
    click(form.optABCD[2]);
    EXPECT_EQ(scorelog::Read(log).entries.size(), 1u);
    std::filesystem::current_path(dir.folder());
    dialogs.inputAnswers.push_back("Ben");
    fileDialogs.paths.push_back(path);
    mod.mnuFileOpen_Click();
    ASSERT_TRUE(mod.QuizOpen);
    click(form.optABCD[2]);
    const auto entries = scorelog::Read(log).entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].substr(0, 4), "Ben.");
    EXPECT_FALSE(std::filesystem::exists(dir.path("x/a.log"))); // the old rule's place
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.text.find("could not"), std::string::npos) << m.text;
}

TEST_F(PlayerTest, QuizTextIsShownAsPlainTextNeverAsMarkup) {
    const QString question = QStringLiteral("Is a<b and c>d true?");
    const QString answer = QStringLiteral("x<b>y</b>z");
    openAsAnn(
        writeQuiz("tags.exm",
                  {record::BuildMultipleChoice("m", question.toStdString(),
                                               {answer.toStdString(), "b", "c", "d"}, "none", 1),
                   record::BuildTrueFalse("t", question.toStdString(), "none", 1)},
                  "<i>Title</i>", "A&B"));
    const std::pair<QLabel*, QString> shown[] = {{form.lblMQuestion, question},
                                                 {form.lblMAnswer[0], answer},
                                                 {form.lblTitle, QStringLiteral("<i>Title</i>")},
                                                 {form.lblTeacher, QStringLiteral("A&B")}};
    for (const auto& [label, text] : shown) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        EXPECT_EQ(label->text(), text);
    }
    click(form.optABCD[0]);
    EXPECT_EQ(form.lblTrueQuestion->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.lblTrueQuestion->text(), question);
}

TEST_F(PlayerTest, NoNameAndNoToTryAgainEndTheProgramWithTheFarewell) {
    struct Case {
        std::vector<std::optional<std::string>> names; // nullopt: Cancel
        std::deque<Dialogs::Answer> tryAgain;
        bool fromFileOpen;
    };
    for (const Case& c : {Case{{"   "}, {Dialogs::Answer::No}, false},
                          Case{{std::nullopt, "  "}, {Dialogs::Answer::Yes}, false},
                          Case{{std::nullopt}, {Dialogs::Answer::No}, true}}) {
        ExamoMe other{services};
        dialogs.messages.clear();
        const auto path = writeQuiz("math.exm", multipleChoice(2));
        if (c.fromFileOpen) {
            dialogs.inputAnswers = {"Ann"};
            fileDialogs.paths = {path};
            other.module().mnuFileOpen_Click();
            ASSERT_TRUE(other.module().QuizOpen); // a quiz on show does not stop it
        } else {
            program.command = path;
        }
        dialogs.inputAnswers = {c.names.begin(), c.names.end()};
        dialogs.answers = c.tryAgain;
        c.fromFileOpen ? other.module().mnuFileOpen_Click() : other.module().Main();
        EXPECT_TRUE(other.window().unloaded());
        EXPECT_FALSE(other.module().QuizOpen);
        EXPECT_EQ(dialogs.messages.back().text, "You must type a name.  Try again?");
        EXPECT_EQ(dialogs.messages.back().buttons, Dialogs::Buttons::YesNo);
        EXPECT_EQ(sounds().back(), (std::pair<int, std::uint32_t>{123, 4})); // heard to its end
        EXPECT_EQ(mci.commands.back(), "close all");
    }
}

TEST_F(PlayerTest, FileOpenAsksWithTheQuizFilterAndSetsTheQuizFolder) {
    const auto path = writeQuiz("math.exm", multipleChoice(2));
    openAsAnn(path);
    ASSERT_EQ(fileDialogs.calls.size(), 1u);
    EXPECT_EQ(fileDialogs.calls[0].request.filter,
              std::string("Examo Tests (*.exm)\0*.exm\0\0", 27));
    EXPECT_EQ(fileDialogs.calls[0].request.initialDir, dir.folder());
    EXPECT_EQ(mod.QuizFolder, dir.folder() + "/");
    EXPECT_TRUE(mod.QuizOpen);
    EXPECT_EQ(mci.commands.front(), "close all");
}

TEST_F(PlayerTest, ACancelledRefusedOrBrokenOpenLeavesTheWindowEmpty) {
    writeQuiz("quiz.exm.bak", multipleChoice(1));
    examo::testing::writeBytes(dir.path("broken.exm"), "no separator here\r\n");
    ASSERT_EQ(::mkfifo(dir.path("pipe.exm").c_str(), 0600), 0); // refused, never waited on
    struct Case {
        std::optional<std::string> path;
        std::string message; // empty: none
    };
    for (const Case& c :
         {Case{std::nullopt, ""},
          Case{dir.path("quiz.exm.bak"), "File does not appear to be a valid ExamoMe test."},
          Case{dir.path("broken.exm"), dir.path("broken.exm")},
          Case{dir.path("pipe.exm"), dir.path("pipe.exm") + " could not be opened"}}) {
        openAsAnn(writeQuiz("math.exm", multipleChoice(2)));
        dialogs.messages.clear();
        dialogs.inputAnswers = {"Ben"};
        fileDialogs.paths = {c.path};
        mod.mnuFileOpen_Click();
        EXPECT_FALSE(mod.QuizOpen);
        EXPECT_EQ(mod.StudentName, "Ben");
        EXPECT_EQ(form.lblTitle->text(), QString());
        EXPECT_EQ(form.lblMQuestion->text(), QString());
        EXPECT_EQ(form.lblScore->text(), QStringLiteral("Score: 0 correct of 0 total."));
        if (c.message.empty()) {
            EXPECT_TRUE(dialogs.messages.empty());
            continue;
        }
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_NE(dialogs.messages[0].text.find(c.message), std::string::npos);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    }
}

TEST_F(PlayerTest, HelpAndAboutBoxes) {
    mod.mnuHelpHelp_Click();
    mod.mnuHelpAbout_Click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    const Message& help = dialogs.messages[0];
    EXPECT_EQ(help.title, "Help for ExamoMe");
    EXPECT_EQ(help.icon, Dialogs::Icon::Information);
    EXPECT_EQ(help.text.rfind("Choose 'Open' from the 'File' menu to open a quiz.\r\n\r\nIf a", 0),
              0u);
    EXPECT_EQ(dialogs.messages[1].title, "");
    EXPECT_EQ(dialogs.messages[1].text.rfind("ExamoMe is a multimedia interactive \r\n", 0), 0u);
}

TEST_F(PlayerTest, EveryCaptionFitsItsControl) {
    // The running score's design text is a placeholder, replaced before any quiz is seen.
    EXPECT_EQ(examo::testing::captionsCutOff(form, {QStringLiteral("lblScore")}), "");
    // The longest texts the running score and the counter show at run time.
    form.lblScore->setText(QStringLiteral("Score: 100 correct of 100 total."));
    form.lblCount->setText(QStringLiteral("Question # 100"));
    EXPECT_EQ(examo::testing::captionsCutOff(form), "");
}
