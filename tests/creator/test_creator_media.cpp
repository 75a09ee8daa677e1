#include "creatorfixture.h"

#include "storage/quizfile.h"
#include "storage/record.h"

using namespace examo;
using namespace Qt::StringLiterals;
using examo::testing::CreatorTest;
using examo::testing::readBytes;
using examo::testing::writeBytes;

namespace {

QImage filled(int w, int h) {
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::red);
    return picture;
}

// The rectangle of red on the preview's canvas.
QRect redArea(const QImage& canvas) {
    QRect area;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixelColor(x, y) == QColor(Qt::red))
                area |= QRect(x, y, 1, 1);
    return area;
}

std::string mediaOf(const std::string& record) {
    return record::ParseQuestion(record).question->media;
}

} // namespace

TEST_F(CreatorTest, ChoosingEachKindOfMediaFillsItsBoxAndPreviewsIt) {
    mci.replies["capability movie can stretch"] = "true";
    mci.replies["where movie source"] = "0 0 160 120";
    // A dotted folder, as home folders often are, hides no kind.
    std::filesystem::create_directories(dir.path("anne.smith"));
    struct Case {
        std::string name;
        QString label;
        QString button; // empty: the replay button hidden
        bool box;
        std::string open; // the media command that opens it; empty for a wave
    };
    const QString none;
    const auto opens = [this](const std::string& start) {
        return std::any_of(mci.commands.begin(), mci.commands.end(),
                           [&](const std::string& c) { return c.rfind(start, 0) == 0; });
    };
    start();
    bool trueFalse = false;
    for (const Case& c : {
             Case{"moo.wav", u"Wav Preview"_s, u"Play Wav"_s, false, ""},
             Case{"CLIP.AVI", u"Avi Preview"_s, none, true, "open AVIvideo!"},
             Case{"barn.mpeg", u"MPEG Preview"_s, none, true, "open MPEGvideo!"},
             Case{"tune.midi", u"Midi Preview"_s, u"Play Midi"_s, false, "open sequencer!"},
             Case{"song.mp3", u"MP3 Preview"_s, u"Play MP3"_s, false, "open MPEGvideo!"},
             Case{"cow.jpeg", u"Picture Thumbnail"_s, none, true, ""},
         }) {
        const std::string path = dir.path("anne.smith/" + c.name);
        writeBytes(path, "data");
        shortPaths.shortForms[path] = path;
        pictures.pictures[QString::fromStdString(path)] = filled(40, 30);
        mci.commands.clear();
        waves.plays.clear();
        fileDialogs.paths.push_back(path);
        trueFalse = !trueFalse; // both frames' choosers in turn
        form.optType[trueFalse ? 1 : 0]->click();
        (trueFalse ? form.cmdPic : form.cmdMpic)->click();

        EXPECT_EQ((trueFalse ? form.txtTFpic : form.txtMpic)->text().toStdString(), path);
        EXPECT_EQ(form.lblPreview->text(), c.label) << c.name;
        EXPECT_EQ(form.cmdPlaywav->isVisible(), !c.button.isEmpty()) << c.name;
        if (!c.button.isEmpty()) {
            EXPECT_EQ(form.cmdPlaywav->text(), c.button) << c.name;
        }
        EXPECT_EQ(form.picPreview->isVisible(), c.box) << c.name;
        ASSERT_FALSE(mci.commands.empty());
        EXPECT_EQ(mci.commands[0], "close all"); // before the dialog
        if (c.label == u"Wav Preview"_s) {
            ASSERT_EQ(waves.plays.size(), 1u);
            EXPECT_EQ(waves.plays[0].path, path);
        } else if (!c.open.empty()) {
            EXPECT_TRUE(opens(c.open + path)) << c.name;
        }
        // The replay button plays the same file again.
        if (!c.button.isEmpty()) {
            mci.commands.clear();
            waves.plays.clear();
            form.cmdPlaywav->click();
            EXPECT_EQ(mci.commands.at(0), "close all");
            if (c.open.empty()) {
                EXPECT_EQ(waves.plays.at(0).path, path);
            } else {
                EXPECT_TRUE(opens(c.open + path)) << c.name;
            }
        }
    }
    const FileDialogRequest& request = fileDialogs.calls.at(0).request;
    EXPECT_EQ(fileDialogs.calls[0].kind, fakes::FakeFileDialogs::Kind::Open);
    EXPECT_EQ(request.owner, static_cast<std::intptr_t>(form.winId()));
    EXPECT_EQ(request.initialDir, program.current);
    // Seven pairs, each text ending in a NUL, then the list's own two.
    static constexpr char kFilter[] =
        "Multimedia Files\0*.bmp;*.jpg;*.wmf;*.wav;*.avi;*.mid;*.mp3;*.mpeg;*.mpg\0"
        "Image Files (*.bmp;*.jpg;*.wmf)\0*.BMP;*.JPG;*.JPEG;*.WMF\0"
        "Wav Files (*.WAV)\0*.WAV\0AVI Files (*.avi)\0*.AVI\0"
        "MIDI Files (*.mid)\0*.MID\0MP3 Files (*.mp3)\0*.MP3\0"
        "MPEG Files (*.mpg)(*.mpeg)\0*.MPG;*.MPEG\0\0\0";
    EXPECT_EQ(request.filter, std::string(kFilter, sizeof(kFilter) - 1));

    // The first "." of the file name decides: my.song.mid is of no kind, and the preview stays.
    const std::string odd = dir.path("anne.smith/my.song.mid");
    writeBytes(odd, "MThd");
    fileDialogs.paths.push_back(odd);
    mci.commands.clear();
    form.cmdPic->click();
    EXPECT_EQ(form.txtTFpic->text().toStdString(), odd);
    EXPECT_EQ(form.lblPreview->text(), u"Picture Thumbnail"_s);
    EXPECT_EQ(mci.commands, std::vector<std::string>{"close all"});
}

TEST_F(CreatorTest, ACancelledOrVanishedChoiceChangesNothing) {
    start();
    fileDialogs.paths = {std::nullopt, dir.path("gone.wav")};
    form.cmdMpic->click();
    form.cmdMpic->click();
    EXPECT_EQ(form.txtMpic->text(), u"None"_s);
    EXPECT_EQ(form.lblPreview->text(), u"No Media Chosen"_s);
    EXPECT_TRUE(waves.plays.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CreatorTest, ThumbnailsFitTheSquarePreviewKeepingTheirShape) {
    start();
    // 1815 twips square, two pixels of edge on each side.
    ASSERT_EQ(form.picPreview->size(), QSize(121, 121));
    ASSERT_EQ(form.picPreview->innerWidth(), 117);
    struct Case {
        int w, h;
        QRect drawn;
    };
    for (const Case& c : {Case{240, 160, QRect(0, 19, 117, 78)},    // r = 0.4875, halves down
                          Case{50, 234, QRect(46, 0, 25, 117)},     // r = 0.5
                          Case{100, 50, QRect(8, 33, 100, 50)},     // fits: natural size
                          Case{117, 117, QRect(0, 0, 117, 117)}}) { // exactly the box
        const std::string path = dir.path(std::to_string(c.w) + "x" + std::to_string(c.h) + ".bmp");
        writeBytes(path, "BM");
        pictures.pictures[QString::fromStdString(path)] = filled(c.w, c.h);
        fileDialogs.paths.push_back(path);
        form.cmdMpic->click();
        EXPECT_EQ(redArea(form.picPreview->canvas()), c.drawn) << c.w << " x " << c.h;
    }
}

TEST_F(CreatorTest, EmptyingOrRemovingTheMediaClearsThePreview) {
    const std::string path = dir.path("cow.bmp");
    writeBytes(path, "BM");
    pictures.pictures[QString::fromStdString(path)] = filled(40, 30);
    start();
    fileDialogs.paths.push_back(path);
    form.cmdMpic->click();
    ASSERT_FALSE(redArea(form.picPreview->canvas()).isEmpty());
    type(form.txtMpic, QString());
    EXPECT_EQ(form.txtMpic->text(), u"none"_s);
    EXPECT_TRUE(redArea(form.picPreview->canvas()).isEmpty());

    fileDialogs.paths.push_back(path);
    form.cmdMpic->click();
    mci.commands.clear();
    form.cmdMRemove->click();
    EXPECT_EQ(form.txtMpic->text(), u"None"_s);
    EXPECT_EQ(form.lblPreview->text(), u"No Media Chosen"_s);
    EXPECT_FALSE(form.picPreview->isVisible());
    EXPECT_TRUE(redArea(form.picPreview->canvas()).isEmpty());
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
    EXPECT_EQ(mod.PreviewMediaPath, dir.path("class.7/moo.wav"));
}

// Every file dialog moves the current folder: bare names must not be looked up there.
TEST_F(CreatorTest, SaveAsToAnotherFolderTakesTheMediaAlong) {
    for (const char* folder : {"pics", "a", "b", "c", "d"})
        std::filesystem::create_directories(dir.path(folder));
    writeBytes(dir.path("pics/dog.bmp"), "dog");
    pictures.pictures[QString::fromStdString(dir.path("pics/dog.bmp"))] = filled(8, 8);
    start();
    type(form.txtTitle, u"T"_s);
    type(form.txtTeacher, u"C"_s);
    fileDialogs.paths.push_back(dir.path("pics/dog.bmp"));
    typeMultipleChoice(u"Dog?"_s);
    form.cmdMpic->click();
    form.cmdAdd->click();

    fileDialogs.paths = {dir.path("a/q.exm"), dir.path("b/q.exm")};
    form.cmdOkay->click();
    EXPECT_EQ(mediaOf(mod.QuestionRecords[1]), "dog.bmp");
    form.cmdOkay->click();
    EXPECT_EQ(readBytes(dir.path("b/dog.bmp")), "dog");

    fileDialogs.paths = {dir.path("a/q.exm"), dir.path("c/q.exm")};
    form.mnuFileOpen->trigger();
    form.cmdOkay->click();
    EXPECT_EQ(readBytes(dir.path("c/dog.bmp")), "dog");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text;

    // A media file gone by the time of saving is named; the quiz is saved all the same.
    std::filesystem::remove(dir.path("c/dog.bmp"));
    fileDialogs.paths = {dir.path("d/q.exm")};
    form.cmdOkay->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "These media files could not be found, so they were not "
                                        "copied beside the test:\nQuestion 1: dog.bmp");
    EXPECT_TRUE(std::filesystem::exists(dir.path("d/q.exm")));
    EXPECT_EQ(form.windowTitle(), u"ExamoMe Test Creator - q.exm"_s);
}

TEST_F(CreatorTest, AQuizFileThatCannotBeWrittenLeavesTheRecordsAsTheyWere) {
    std::filesystem::create_directories(dir.path("pics"));
    std::filesystem::create_directories(dir.path("quiz/q.exm")); // a folder in the way
    writeBytes(dir.path("pics/dog.bmp"), "dog");
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
