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
    const struct Command {
        const char* name;
        std::function<void(frmCreate&)> run;
        std::optional<QString> title; // once it went on; none: the window closed
    } commands[] = {
        {"New", [](frmCreate& w) { w.mnuFileNew->trigger(); }, u""_s},
        {"Open", [](frmCreate& w) { w.mnuFileOpen->trigger(); }, u"Other"_s},
        {"Recent", [](frmCreate& w) { w.mnuRecent[1]->trigger(); }, u"Other"_s},
        {"Exit", [](frmCreate& w) { w.mnuFileExit->trigger(); }, std::nullopt},
        {"Cancel and Exit", [](frmCreate& w) { w.cmdCancel->click(); }, std::nullopt},
        {"close", [](frmCreate& w) { w.close(); }, std::nullopt},
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
            SCOPED_TRACE(std::string(c.name) + " answered " + std::to_string(int(r.answer)));
            const std::string saved = dir.path("saved" + std::to_string(++n) + ".exm");
            ExamoForge forge2{services, aviLibrary};
            frmCreate& w = forge2.window();
            forge2.module().Main();
            type(w.txtTitle, u"Mine"_s);
            type(w.txtTeacher, u"C"_s);
            dialogs.messages.clear();
            dialogs.answers = {r.answer};
            fileDialogs.paths.clear();
            if (r.answer == Answer::Yes)
                fileDialogs.paths.push_back(r.saveChosen ? std::optional(saved) : std::nullopt);
            fileDialogs.paths.push_back(other);
            c.run(w);

            ASSERT_FALSE(dialogs.messages.empty());
            EXPECT_EQ(dialogs.messages[0].text, "Save changes to Untitled?");
            EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
            EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Question);
            const bool closed = !w.isVisible();
            EXPECT_EQ(c.title ? !closed && w.txtTitle->text() == *c.title : closed, r.wentOn);
            EXPECT_EQ(std::filesystem::exists(saved), r.saveChosen);
            if (!r.wentOn) { // the quiz stays as it was
                EXPECT_EQ(w.txtTitle->text(), u"Mine"_s);
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
