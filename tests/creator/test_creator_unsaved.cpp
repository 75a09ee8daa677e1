#include "creatorfixture.h"

#include "storage/quizfile.h"
#include "storage/record.h"

using namespace examo;
using namespace Qt::StringLiterals;
using examo::testing::CreatorTest;
using Answer = examo::Dialogs::Answer;

namespace {

const std::string kTf = record::BuildTrueFalse("t", "Cows moo.", "none", 0);

} // namespace

// New, Open, a recent file, Exit and closing the window used to drop unsaved work silently.
TEST_F(CreatorTest, EveryCommandThatDropsTheQuizOffersToSaveItFirst) {
    const std::string other = dir.path("other.exm");
    ASSERT_TRUE(quizfile::Write(other, "Other", "C", {kTf}));
    settings.values[{"ExamoForge", "Settings", "MRU1"}] = other;
    struct Command {
        const char* name;
        std::function<void(frmCreate&)> run;
        std::function<bool(ExamoForge&)> wentOn;
    };
    const auto opened = [](ExamoForge& f) { return f.window().txtTitle->text() == u"Other"_s; };
    const Command commands[] = {
        {"New", [](frmCreate& w) { w.mnuFileNew->trigger(); },
         [](ExamoForge& f) { return f.window().txtTitle->text().isEmpty(); }},
        {"Open", [](frmCreate& w) { w.mnuFileOpen->trigger(); }, opened},
        {"Recent", [](frmCreate& w) { w.mnuRecent[1]->trigger(); }, opened},
        {"Exit", [](frmCreate& w) { w.mnuFileExit->trigger(); },
         [](ExamoForge& f) { return !f.window().isVisible(); }},
        {"Cancel and Exit", [](frmCreate& w) { w.cmdCancel->click(); },
         [](ExamoForge& f) { return !f.window().isVisible(); }},
        {"close", [](frmCreate& w) { w.close(); },
         [](ExamoForge& f) { return !f.window().isVisible(); }},
    };
    struct Reply {
        Answer answer;
        bool saveChosen; // for Yes: the teacher names a file rather than cancelling
        bool wentOn;
    };
    int n = 0;
    for (const Command& c : commands) {
        for (const Reply& r : {Reply{Answer::Cancel, false, false}, Reply{Answer::No, false, true},
                               Reply{Answer::Yes, true, true}, Reply{Answer::Yes, false, false}}) {
            const std::string saved = dir.path("saved" + std::to_string(++n) + ".exm");
            ExamoForge forge2{services, aviLibrary};
            forge2.module().Main();
            type(forge2.window().txtTitle, u"Mine"_s);
            type(forge2.window().txtTeacher, u"C"_s);
            dialogs.messages.clear();
            dialogs.answers = {r.answer};
            fileDialogs.paths.clear();
            if (r.answer == Answer::Yes)
                fileDialogs.paths.push_back(r.saveChosen ? std::optional(saved) : std::nullopt);
            fileDialogs.paths.push_back(other);
            c.run(forge2.window());

            ASSERT_FALSE(dialogs.messages.empty()) << c.name;
            const auto& question = dialogs.messages[0];
            EXPECT_EQ(question.text, "Save changes to Untitled?") << c.name;
            EXPECT_EQ(question.buttons, Dialogs::Buttons::YesNoCancel);
            EXPECT_EQ(question.icon, Dialogs::Icon::Question);
            EXPECT_EQ(question.title, "");
            EXPECT_EQ(c.wentOn(forge2), r.wentOn) << c.name << " answered " << int(r.answer);
            EXPECT_EQ(std::filesystem::exists(saved), r.saveChosen) << c.name;
            if (!r.wentOn) { // the quiz stays as it was
                EXPECT_EQ(forge2.window().txtTitle->text(), u"Mine"_s) << c.name;
            }
        }
    }
}

TEST_F(CreatorTest, NothingIsAskedWhileTheQuizIsAsLastSavedOrOpened) {
    const std::string quiz = dir.path("farm.exm");
    ASSERT_TRUE(quizfile::Write(quiz, "Farm", "C", {kTf}));
    start();
    form.mnuFileNew->trigger(); // a fresh, empty quiz
    fileDialogs.paths = {quiz};
    form.mnuFileOpen->trigger();
    form.mnuFileNew->trigger();
    EXPECT_TRUE(dialogs.messages.empty());

    // Saved under its name, the quiz is asked about by that name once it changes again.
    type(form.txtTitle, u"T"_s);
    type(form.txtTeacher, u"C"_s);
    addTrueFalse(u"Q"_s, 0);
    fileDialogs.paths = {dir.path("mine.exm")};
    form.cmdOkay->click();
    form.mnuFileNew->trigger();
    form.mnuFileOpen->trigger(); // after New: nothing to lose
    EXPECT_TRUE(dialogs.messages.empty());

    fileDialogs.paths = {dir.path("mine.exm")};
    form.mnuFileOpen->trigger();
    addTrueFalse(u"Q2"_s, 0);
    dialogs.answers = {Answer::Cancel};
    form.close();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Save changes to mine.exm?"});
    EXPECT_TRUE(form.isVisible()); // Cancel keeps the window open and the list unstored
    EXPECT_TRUE(settings.values.empty());
}
