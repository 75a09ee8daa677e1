#include "creatorfixture.h"

#include "storage/quizfile.h"
#include "storage/record.h"

#include <sys/stat.h>

using namespace examo;
using namespace Qt::StringLiterals;
using examo::testing::CreatorTest;
using examo::testing::readBytes;
using examo::testing::writeBytes;

namespace {

// The rectangle of red on the preview's canvas.
QRect redArea(frmCreate& form) {
    return examo::testing::areaOf(form.picPreview->canvas(), [](QColor c) { return c == Qt::red; });
}

std::string mediaOf(const std::string& record) {
    return record::ParseQuestion(record).question->media;
}

} // namespace

TEST_F(CreatorTest, ChoosingEachKindOfMediaFillsItsBoxAndPreviewsIt) {
    mci.replies["capability movie can stretch"] = "true";
    mci.replies["where movie source"] = "0 0 160 120";
    start();
    const struct Case {
        const char* name;
        QString label, button; // button empty: the replay button hidden
        bool box;
        std::string open; // the media command that opens it
    } cases[] = {
        {"moo.wav", u"Wav Preview"_s, u"Play Wav"_s, false, "wave"},
        {"CLIP.AVI", u"Avi Preview"_s, {}, true, "open AVIvideo!"},
        {"barn.mpeg", u"MPEG Preview"_s, {}, true, "open MPEGvideo!"},
        {"tune.midi", u"Midi Preview"_s, u"Play Midi"_s, false, "open sequencer!"},
        {"song.mp3", u"MP3 Preview"_s, u"Play MP3"_s, false, "open MPEGvideo!"},
        {"cow.jpeg", u"Picture Thumbnail"_s, {}, true, ""},
    };
    bool trueFalse = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A dotted folder, as home folders often are, hides no kind.
        const std::string name = std::string("anne.smith/") + c.name, path = dir.path(name);
        addPicture(name, 40, 30);
        shortPaths.shortForms[path] = path;
        fileDialogs.paths.push_back(path);
        trueFalse = !trueFalse; // both frames' choosers in turn
        form.optType[trueFalse ? 1 : 0]->click();
        // Choosing plays it; the replay button, where there is one, plays the same file again.
        for (QPushButton* button : {trueFalse ? form.cmdPic : form.cmdMpic, form.cmdPlaywav}) {
            if (button == form.cmdPlaywav && c.button.isEmpty())
                break;
            mci.commands.clear();
            waves.plays.clear();
            button->click();
            EXPECT_EQ(mci.commands.at(0), "close all"); // first of all
            if (c.open == "wave") {
                EXPECT_EQ(waves.plays.at(0).path, path);
            } else if (!c.open.empty()) {
                EXPECT_TRUE(std::ranges::any_of(mci.commands, [&](const std::string& m) {
                    return m.starts_with(c.open + path);
                }));
            }
        }
        EXPECT_EQ((trueFalse ? form.txtTFpic : form.txtMpic)->text().toStdString(), path);
        EXPECT_EQ(form.lblPreview->text(), c.label);
        EXPECT_EQ(form.cmdPlaywav->isVisible() ? form.cmdPlaywav->text() : QString(), c.button);
        EXPECT_EQ(form.picPreview->isVisible(), c.box);
    }
    EXPECT_EQ(fileDialogs.calls.at(0).kind, fakes::FakeFileDialogs::Kind::Open);
    EXPECT_EQ(fileDialogs.calls[0].request.initialDir, program.current);
    // Seven pairs, each text ending in a NUL, then the list's own two.
    static constexpr char kFilter[] =
        "Multimedia Files\0*.bmp;*.jpg;*.wmf;*.wav;*.avi;*.mid;*.mp3;*.mpeg;*.mpg\0"
        "Image Files (*.bmp;*.jpg;*.wmf)\0*.BMP;*.JPG;*.JPEG;*.WMF\0"
        "Wav Files (*.WAV)\0*.WAV\0AVI Files (*.avi)\0*.AVI\0"
        "MIDI Files (*.mid)\0*.MID\0MP3 Files (*.mp3)\0*.MP3\0"
        "MPEG Files (*.mpg)(*.mpeg)\0*.MPG;*.MPEG\0\0\0";
    EXPECT_EQ(fileDialogs.calls[0].request.filter, std::string(kFilter, sizeof(kFilter) - 1));
}

TEST_F(CreatorTest, ThumbnailsFitTheSquarePreviewKeepingTheirShape) {
    start();
    // 1815 twips square, two pixels of edge on each side.
    ASSERT_EQ(form.picPreview->innerWidth(), 117);
    struct Case {
        int w, h;
        QRect drawn;
    };
    for (const Case& c : {Case{240, 160, QRect(0, 19, 117, 78)},    // r = 0.4875, halves down
                          Case{50, 234, QRect(46, 0, 25, 117)},     // r = 0.5
                          Case{100, 50, QRect(8, 33, 100, 50)},     // fits: natural size
                          Case{117, 117, QRect(0, 0, 117, 117)}}) { // exactly the box
        const std::string name = std::to_string(c.w) + "x" + std::to_string(c.h) + ".bmp";
        addPicture(name, c.w, c.h);
        fileDialogs.paths.push_back(dir.path(name));
        form.cmdMpic->click();
        EXPECT_EQ(redArea(form), c.drawn) << name;
    }
}

TEST_F(CreatorTest, ACancelledChoiceChangesNothingAndEmptyingOrRemovingClearsThePreview) {
    addPicture("cow.bmp", 40, 30);
    start();
    fileDialogs.paths = {std::nullopt, dir.path("gone.wav"), dir.path("cow.bmp"),
                         dir.path("cow.bmp")};
    form.cmdMpic->click();
    form.cmdMpic->click();
    EXPECT_EQ(form.txtMpic->text(), u"None"_s);
    EXPECT_EQ(form.lblPreview->text(), u"No Media Chosen"_s);
    EXPECT_TRUE(waves.plays.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(::mkfifo(dir.path("pipe.wav").c_str(), 0600), 0);
    fileDialogs.paths.insert(fileDialogs.paths.begin(), dir.path("pipe.wav"));
    form.cmdMpic->click();
    EXPECT_EQ(form.txtMpic->text(), u"None"_s);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"The file " + dir.path("pipe.wav") +
                                                        " is not a picture, sound or movie file."});

    form.cmdMpic->click();
    ASSERT_FALSE(redArea(form).isEmpty());
    type(form.txtMpic, QString());
    EXPECT_EQ(form.txtMpic->text(), u"none"_s);
    EXPECT_TRUE(redArea(form).isEmpty());

    form.cmdMpic->click();
    mci.commands.clear();
    form.cmdMRemove->click();
    EXPECT_EQ(form.txtMpic->text(), u"None"_s);
    EXPECT_EQ(form.lblPreview->text(), u"No Media Chosen"_s);
    EXPECT_FALSE(form.picPreview->isVisible());
    EXPECT_TRUE(redArea(form).isEmpty());
    EXPECT_EQ(mci.commands, std::vector<std::string>{"close all"});
}

TEST_F(CreatorTest, AStoredBareNameIsPreviewedFromItsQuizsFolder) {
    std::filesystem::create_directories(dir.path("class.7"));
    std::filesystem::create_directories(dir.path("pics"));
    writeBytes(dir.path("class.7/moo.wav"), "RIFF");
    writeBytes(dir.path("pics/moo.wav"), "another moo");
    ASSERT_TRUE(quizfile::Write(dir.path("class.7/farm.exm"), "T", "C",
                                {record::BuildTrueFalse("t", "Moo?", "moo.wav", 0)}));
    start();
    fileDialogs.paths = {dir.path("class.7/farm.exm"), dir.path("pics/moo.wav")};
    form.mnuFileOpen->trigger();
    form.cmdPic->click(); // a choice elsewhere moves the current folder there
    waves.plays.clear();
    choose(0);
    ASSERT_EQ(waves.plays.size(), 1u);
    EXPECT_EQ(waves.plays[0].path, dir.path("class.7/moo.wav"));
}

// Every file dialog moves the current folder: bare names must not be looked up there.
TEST_F(CreatorTest, SaveAsToAnotherFolderTakesTheMediaAlong) {
    for (const char* folder : {"a", "b", "c", "d"})
        std::filesystem::create_directories(dir.path(folder));
    addPicture("pics/dog.bmp", 8, 8);
    start();
    type(form.txtTitle, u"T"_s);
    type(form.txtTeacher, u"C"_s);
    fileDialogs.paths = {dir.path("pics/dog.bmp"), dir.path("a/q.exm"), dir.path("b/q.exm")};
    typeMultipleChoice(u"Dog?"_s);
    form.cmdMpic->click();
    form.cmdAdd->click();
    form.cmdOkay->click();
    EXPECT_EQ(mediaOf(mod.QuestionRecords[1]), "dog.bmp");
    form.cmdOkay->click();
    EXPECT_EQ(readBytes(dir.path("b/dog.bmp")), "BM picture");

    fileDialogs.paths = {dir.path("a/q.exm"), dir.path("c/q.exm")};
    form.mnuFileOpen->trigger();
    form.cmdOkay->click();
    EXPECT_EQ(readBytes(dir.path("c/dog.bmp")), "BM picture");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text;

    // A media file gone by the time of saving is named; the quiz is saved all the same.
    std::filesystem::remove(dir.path("c/dog.bmp"));
    fileDialogs.paths = {dir.path("d/q.exm")};
    form.cmdOkay->click();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"These media files could not be found, so "
                                                        "they were not copied beside the test:\n"
                                                        "Question 1: dog.bmp"});
    EXPECT_TRUE(std::filesystem::exists(dir.path("d/q.exm")));
    EXPECT_EQ(form.windowTitle(), u"ExamoMe Test Creator - q.exm"_s);
}

TEST_F(CreatorTest, AQuizFileThatCannotBeWrittenLeavesTheRecordsAsTheyWere) {
    std::filesystem::create_directories(dir.path("quiz/q.exm")); // a folder in the way
    addPicture("pics/dog.bmp", 8, 8);
    start();
    type(form.txtTitle, u"T"_s);
    type(form.txtTeacher, u"C"_s);
    addTrueFalse(u"Dog?"_s, 0, QString::fromStdString(dir.path("pics/dog.bmp")));
    fileDialogs.paths = {dir.path("quiz/q.exm")};
    form.cmdOkay->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text.rfind("Error saving test!", 0), 0u);
    EXPECT_EQ(mediaOf(mod.QuestionRecords[1]), dir.path("pics/dog.bmp"));
    EXPECT_EQ(mod.QuizFolder, "");
}
