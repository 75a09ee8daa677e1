#include "creatorfixture.h"

#include "storage/quizfile.h"
#include "storage/record.h"

using namespace examo;
using namespace Qt::StringLiterals;
using namespace std::string_literals;
using examo::testing::CreatorTest;
using examo::testing::readBytes;
using examo::testing::rec;
using examo::testing::writeBytes;

namespace {

const std::string kGift = "// Farm\n"
                          "::Milk::Which animal gives milk? {=Cow ~Hen ~Pig ~Goat}\n\n"
                          "Cows moo. {TRUE}\n\n"
                          "Write about cows. {}\n\n"
                          "\xC2\xA9 Farm Inc.? {F}\n";

} // namespace

TEST_F(CreatorTest, ImportedQuestionsAreAddedAsIfTypedAndTheRestAreAccountedFor) {
    start();
    writeBytes(dir.path("farm.txt"), kGift);
    // A question being typed is not lost to the import.
    typeMultipleChoice(u"Pending"_s);
    fileDialogs.paths.push_back(dir.path("farm.txt"));
    form.mnuFileImport->trigger();

    ASSERT_EQ(fileDialogs.calls.size(), 1u);
    EXPECT_EQ(fileDialogs.calls[0].kind, fakes::FakeFileDialogs::Kind::Open);
    EXPECT_EQ(fileDialogs.calls[0].request.filter,
              "Question Files (*.txt *.gift)\0*.txt;*.gift\0All Files (*.*)\0*.*\0\0"s);
    EXPECT_EQ(mod.QuestionCounter, 3);
    EXPECT_EQ(mod.QuestionRecords[1], rec("m|Which animal gives milk?|Cow|Hen|Pig|Goat|none| 0"));
    EXPECT_EQ(mod.QuestionRecords[2], rec("t|Cows moo.|none| 0"));
    EXPECT_EQ(mod.QuestionTexts[2], "Cows moo.");
    EXPECT_EQ(listEntries(), (QStringList{u"Which animal gives milk?"_s, u"Cows moo."_s}));
    EXPECT_EQ(form.lblNumber->text(), u"Question # 3"_s);
    EXPECT_EQ(form.txtMQuestion->text(), u"Pending"_s);
    EXPECT_TRUE(form.cmdOkay->isEnabled());
    EXPECT_TRUE(form.mnuFileSaveas->isEnabled());
    EXPECT_TRUE(form.mnuFileExport->isEnabled());
    EXPECT_TRUE(form.cboExist->isEnabled());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "2 questions were added to the test.  2 were skipped:\n"
              "1 of a kind ExamoMe tests do not have (they have multiple choice with one right "
              "answer, and true/false)\n"
              "1 with a character a test cannot keep (the first is \xC2\xA9)");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Exclamation);

    // The quiz has changed: leaving it offers to save it.
    dialogs.answers = {Dialogs::Answer::Cancel};
    form.mnuFileNew->trigger();
    EXPECT_EQ(dialogs.messages.back().text, "Save changes to Untitled?");
    // The pending question is added after the imported ones.
    form.cmdAdd->click();
    EXPECT_EQ(mod.QuestionCounter, 4);
    EXPECT_EQ(mod.QuestionTexts[3], "Pending");
}

TEST_F(CreatorTest, AnImportStopsAtTheHundredthQuestion) {
    start();
    std::vector<std::string> records(98, rec("t|Old|none| 0"));
    setQuestions(mod, records);
    std::string aiken;
    for (int i = 1; i <= 4; ++i)
        aiken += "Q" + std::to_string(i) + "?\nA. a\nB. b\nC. c\nD. d\nANSWER: B\n\n";
    writeBytes(dir.path("aiken.txt"), aiken);
    fileDialogs.paths.push_back(dir.path("aiken.txt"));
    form.mnuFileImport->trigger();
    EXPECT_EQ(mod.QuestionCounter, 101);
    EXPECT_EQ(mod.QuestionRecords[99], rec("m|Q1?|a|b|c|d|none| 1"));
    EXPECT_EQ(mod.QuestionRecords[100], rec("m|Q2?|a|b|c|d|none| 1"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "2 questions were added to the test.  2 were skipped:\n"
                                        "2 over the limit of 100 questions");
    // A full quiz takes none, and says so.
    fileDialogs.paths.push_back(dir.path("aiken.txt"));
    form.mnuFileImport->trigger();
    EXPECT_EQ(mod.QuestionCounter, 101);
    EXPECT_EQ(dialogs.messages.back().text, "No questions were added to the test.  4 were "
                                            "skipped:\n4 over the limit of 100 questions");
}

TEST_F(CreatorTest, AnImportThatCannotBeReadChangesNothing) {
    start();
    addTrueFalse(u"Mine"_s, 0);
    writeBytes(dir.path("latin1.txt"), "Caf\xE9? {T}\n");
    fileDialogs.paths = {std::nullopt, dir.path("latin1.txt")};
    form.mnuFileImport->trigger(); // cancelled
    EXPECT_TRUE(dialogs.messages.empty());
    form.mnuFileImport->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "The file " + dir.path("latin1.txt") +
                                            " could not be imported.  The file is not UTF-8 "
                                            "text.  Please save it as UTF-8 and try again.");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(mod.QuestionCounter, 2);
}

TEST_F(CreatorTest, QuestionsComeInAndGoOutOnlyInAddMode) {
    start();
    EXPECT_TRUE(form.mnuFileImport->isEnabled());
    EXPECT_FALSE(form.mnuFileExport->isEnabled()); // as Save As: nothing to write yet
    addTrueFalse(u"Mine"_s, 0);
    choose(0);
    EXPECT_FALSE(form.mnuFileImport->isEnabled());
    EXPECT_FALSE(form.mnuFileExport->isEnabled());
    form.cmdEdit->click(); // saved: back in add mode
    EXPECT_TRUE(form.mnuFileImport->isEnabled());
    EXPECT_TRUE(form.mnuFileExport->isEnabled());
}

TEST_F(CreatorTest, ExportWritesGiftAndTheSampleQuizComesBackTheSame) {
    start();
    ASSERT_TRUE(mod.LoadQuiz(EXAMO_SAMPLES_DIR "/sample.exm"));
    const std::vector<std::string> sample(mod.QuestionRecords.begin() + 1,
                                          mod.QuestionRecords.begin() + mod.QuestionCounter);
    ASSERT_EQ(sample.size(), 8u);
    fileDialogs.paths.push_back(dir.path("farm.txt"));
    form.mnuFileExport->trigger();
    ASSERT_EQ(fileDialogs.calls.size(), 1u);
    EXPECT_EQ(fileDialogs.calls[0].kind, fakes::FakeFileDialogs::Kind::Save);
    EXPECT_EQ(fileDialogs.calls[0].request.defaultExt, "txt");
    EXPECT_TRUE(dialogs.messages.empty());
    const std::string gift = readBytes(dir.path("farm.txt"));
    EXPECT_TRUE(gift.starts_with("// Animals of the Farm\n// Grade 3 - Ms. Rivera\n\n"
                                 "// media: cow.bmp\n"
                                 "::Question 1::Look at the picture. Which animal is this? {\n"
                                 "=Cow\n~Horse\n~Goat\n~Duck\n}\n"))
        << gift;
    // The title and recent files stay those of the quiz.
    EXPECT_EQ(mod.CurrentFile, "");

    form.mnuFileNew->trigger(); // nothing to save: the quiz is as opened
    fileDialogs.paths.push_back(dir.path("farm.txt"));
    form.mnuFileImport->trigger();
    EXPECT_EQ(dialogs.messages.back().text, "8 questions were added to the test.");
    EXPECT_EQ(dialogs.messages.back().icon, Dialogs::Icon::Information);
    ASSERT_EQ(mod.QuestionCounter, 9);
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const auto was = record::ParseQuestion(sample[i]).question;
        const auto now = record::ParseQuestion(mod.QuestionRecords[i + 1]).question;
        ASSERT_TRUE(was && now);
        EXPECT_EQ(now->kind, was->kind) << i;
        EXPECT_EQ(now->text, was->text) << i;
        EXPECT_EQ(now->answers, was->answers) << i;
        EXPECT_EQ(now->correct, was->correct) << i;
    }
}

TEST_F(CreatorTest, ExportSaysWhatItCouldNotWrite) {
    start();
    form.mnuFileExport->setEnabled(true);
    form.mnuFileExport->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "There are no questions to export.");
    EXPECT_TRUE(fileDialogs.calls.empty());

    setQuestions(mod, {"t|Fine|none| 0", "m|Broken"});
    fileDialogs.paths = {dir.path("q.txt"), dir.path("no/such/folder/q.txt")};
    form.mnuFileExport->trigger();
    EXPECT_EQ(dialogs.messages.back().text,
              "These questions could not be read, so they were not exported:\nQuestion 2");
    EXPECT_EQ(readBytes(dir.path("q.txt")), "::Question 1::Fine {TRUE}\n");
    form.mnuFileExport->trigger();
    EXPECT_EQ(dialogs.messages.back().text, "Error exporting questions!  The file " +
                                                dir.path("no/such/folder/q.txt") +
                                                " could not be written.");
    EXPECT_EQ(dialogs.messages.back().icon, Dialogs::Icon::Critical);
}
