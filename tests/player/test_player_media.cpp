#include "playerfixture.h"

using namespace examo;
using examo::testing::PlayerTest;
using Commands = std::vector<std::string>;

namespace {

std::string withMedia(const std::string& media) {
    return record::BuildMultipleChoice("m", "Which animal?", {"Cow", "Hen", "Pig", "Goat"}, media,
                                       0);
}

} // namespace

TEST_F(PlayerTest, APictureIsDrawnFittedIntoTheDisplayBox) {
    form.picPic->resize(274, 274); // 270 by 270 inside its two-pixel edge
    QImage picture(540, 301, QImage::Format_RGB32);
    picture.fill(Qt::red);
    pictures.pictures[QString::fromStdString(dir.path("p.bmp"))] = picture;
    examo::testing::writeBytes(dir.path("p.bmp"), "BM");
    mod.ShowMedia(dir.path("p.bmp"));
    const QImage canvas = form.picPic->canvas();
    // Red exactly inside 0, 60, 270 by 150.
    EXPECT_EQ(canvas.pixelColor(0, 60), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(269, 209), QColor(Qt::red));
    EXPECT_NE(canvas.pixelColor(0, 59), QColor(Qt::red));
    EXPECT_NE(canvas.pixelColor(0, 210), QColor(Qt::red));
    EXPECT_TRUE(form.picPic->isVisible());
    EXPECT_FALSE(form.cmdPreview->isVisible());
}

TEST_F(PlayerTest, EachKindOfMediaPlaysAndThePlayButtonReplaysIt) {
    mci.replies["capability movie can stretch"] = "true";
    mci.replies["where movie source"] = "0 0 160 120";
    struct Case {
        std::string name;
        QString caption;
        bool box;
        std::string open;
    };
    for (const Case& c :
         {Case{"moo.wav", QStringLiteral("Play Sound"), false, ""},
          Case{"barn.avi", QStringLiteral("Play Movie"), true, "open AVIvideo!"},
          Case{"clip.MPG", QStringLiteral("Play Movie"), true, "open MPEGvideo!"},
          Case{"tune.midi", QStringLiteral("Play Music"), false, "open sequencer!"},
          Case{"song.mp3", QStringLiteral("Play Music"), false, "open MPEGvideo!"}}) {
        const std::string path = dir.path(c.name);
        examo::testing::writeBytes(path, "data");
        shortPaths.shortForms[path] = path;
        mci.commands.clear();
        waves.plays.clear();
        mod.ShowMedia(path);
        EXPECT_EQ(form.cmdPreview->text(), c.caption) << c.name;
        EXPECT_TRUE(form.cmdPreview->isVisible()) << c.name;
        EXPECT_EQ(form.picPic->isVisible(), c.box) << c.name;
        EXPECT_EQ(form.cursor().shape(), form.ownCursor().shape());
        if (c.open.empty()) {
            ASSERT_EQ(waves.plays.size(), 1u);
            EXPECT_EQ(waves.plays[0].path, path);
            EXPECT_EQ(waves.plays[0].flags, 0u); // heard in full first
        } else {
            ASSERT_FALSE(mci.commands.empty()) << c.name;
            EXPECT_EQ(mci.commands[0].rfind(c.open + path, 0), 0u) << c.name;
        }
        if (c.box) { // the box is named by its address: it needs no native window
            const auto* box = static_cast<QWidget*>(form.picPic);
            EXPECT_EQ(mci.commands.at(1),
                      "window movie handle " +
                          std::to_string(reinterpret_cast<std::uintptr_t>(box)));
        }
        mci.commands.clear();
        waves.plays.clear();
        form.cmdPreview->click();
        EXPECT_EQ(mci.commands.front(), "close all");
        if (c.open.empty())
            EXPECT_EQ(waves.plays.at(0).flags, 1u); // the replay does not block
        else
            EXPECT_EQ(mci.commands.at(1).rfind(c.open + path, 0), 0u) << c.name;
    }
    EXPECT_EQ(mci.commands.size(), 3u); // close all, open, play song
    // Movies are painted by Qt, so no control had to become a window of its own.
    for (const QWidget* control : form.findChildren<QWidget*>())
        EXPECT_EQ(control->internalWinId(), WId{0}) << control->objectName().toStdString();
}

TEST_F(PlayerTest, MediaAreFoundAsWrittenFirstThenInTheQuizFolder) {
    std::filesystem::create_directory(dir.path("elsewhere"));
    examo::testing::writeBytes(dir.path("moo.wav"), "quiz folder");
    examo::testing::writeBytes(dir.path("elsewhere/moo.wav"), "as written");
    examo::testing::writeBytes(dir.path("only.wav"), "quiz folder only");
    const auto quizPath =
        writeQuiz("m.exm", {withMedia(dir.path("elsewhere/moo.wav")), withMedia("only.wav"),
                            withMedia("none"), withMedia("missing.wav"),
                            withMedia(dir.path("class.7/pic.bmp"))});
    std::filesystem::current_path(dir.path("elsewhere"));
    // Wrong answers, so the only waves from memory are the wrong-answer sounds.
    auto fileWaves = [this] {
        std::vector<std::string> paths;
        for (const auto& p : waves.plays)
            if (!p.path.empty())
                paths.push_back(p.path);
        return paths;
    };
    openAsAnn(quizPath);
    // Question 1 is shown before the quiz folder is known.
    EXPECT_EQ(fileWaves(), std::vector<std::string>{dir.path("elsewhere/moo.wav")});
    click(form.optABCD[0]);
    EXPECT_EQ(fileWaves(),
              (std::vector<std::string>{dir.path("elsewhere/moo.wav"), dir.path("only.wav")}));
    for (int q = 3; q <= 5; ++q) {
        click(form.optABCD[0]);
        EXPECT_EQ(fileWaves().size(), 2u) << q;
        EXPECT_FALSE(form.cmdPreview->isVisible());
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// A picture that cannot be loaded, or a Play button whose sound breaks: each says so, and the
// pointer is the window's own again.
TEST_F(PlayerTest, MediaFailuresAreReportedAndGiveThePointerBack) {
    examo::testing::writeBytes(dir.path("bad.jpg"), "not a picture");
    examo::testing::writeBytes(dir.path("moo.WAV"), "RIFF");
    mod.ShowMedia(dir.path("bad.jpg"));
    EXPECT_EQ(form.cursor().shape(), form.ownCursor().shape());
    mod.ShowMedia(dir.path("moo.WAV"));
    waves.breaks = true;
    form.cmdPreview->click();
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"Error loading media file!",
                                        "There has been an error playing the file."}));
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.icon, Dialogs::Icon::Critical);
    EXPECT_EQ(form.cursor().pixmap().toImage(), form.ownCursor().pixmap().toImage());
}
