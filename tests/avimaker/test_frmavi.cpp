#include "avimaker/frmavi.h"

#include "bitmaps.h"
#include "fakes/fakeavifilelibrary.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakepictureloader.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using examo::frmAVI;
using Texts = std::vector<std::string>;

namespace {

// Remembers what the status line said whenever a frame went to the library.
class WatchedAviLibrary : public examo::fakes::FakeAviFileLibrary {
public:
    long streamWrite(examo::AviStreamHandle stream, std::int32_t start, std::int32_t samples,
                     std::span<const std::uint8_t> data, std::uint32_t flags) override {
        statusAtWrite.push_back(window->lblStatus->text().toStdString());
        return FakeAviFileLibrary::streamWrite(stream, start, samples, data, flags);
    }
    frmAVI* window = nullptr;
    Texts statusAtWrite;
};

class FrmAviTest : public ::testing::Test {
protected:
    FrmAviTest() : form(dialogs, fileDialogs, shell, program, avi, pictures) { avi.window = &form; }

    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string bitmap(const std::string& name, int width, int height, int bits = 24,
                       int frame = 0) {
        const QImage picture = bitmaps::quarters(width, height, frame);
        bitmaps::write(path(name), bits == 8 ? bitmaps::bmp8(picture) : bitmaps::bmp24(picture));
        pictures.pictures.insert(QString::fromStdString(path(name)), picture);
        return path(name);
    }
    void add(const std::string& file) {
        fileDialogs.paths.push_back(file);
        form.cmdFileOpen_Click();
    }
    void write(const std::optional<std::string>& movie) {
        fileDialogs.paths.push_back(movie);
        avi.frames.clear();
        form.cmdWriteAVI_Click();
    }

    QTemporaryDir dir;
    examo::fakes::FakeDialogs dialogs;
    examo::fakes::FakeFileDialogs fileDialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
    WatchedAviLibrary avi;
    examo::fakes::FakePictureLoader pictures;
    frmAVI form;
};

TEST_F(FrmAviTest, OnlyBitmapsOfTheFirstOnesFormatJoinTheList) {
    add(bitmap("a.bmp", 32, 24));
    EXPECT_EQ(form.FirstWidth, 32);
    EXPECT_EQ(form.imgPreview->pixmap().size(), QSize(32, 24));
    add(bitmap("wide.bmp", 40, 24));
    add(bitmap("tall.bmp", 32, 32));
    add(bitmap("palette.bmp", 32, 24, 8));
    auto rle = bitmaps::bmp24(bitmaps::quarters(32, 24));
    bitmaps::put32(rle, 30, 1); // claims run-length compression
    bitmaps::write(path("rle.bmp"), rle);
    add(path("rle.bmp"));
    bitmaps::write(path("junk.bmp"), {'J', 'U', 'N', 'K'});
    add(path("junk.bmp"));
    add(path("a.bmp")); // the same file twice is two frames
    EXPECT_EQ(form.lstDIBList->count(), 2);
    Texts expected(4, "Chosen bitmap file is a different format!");
    expected.push_back("File is not a supported bitmap format:\r\n" + path("junk.bmp"));
    EXPECT_EQ(dialogs.texts(), expected);
    // Each dialog starts where the one before ended, whatever became of its file.
    EXPECT_EQ(fileDialogs.calls.back().request.initialDir, path("junk.bmp"));

    form.cmdClearList_Click();
    EXPECT_EQ(form.lstDIBList->count(), 0);
    EXPECT_FALSE(form.cmdWriteAVI->isEnabled());
    add(bitmap("big.bmp", 64, 48)); // the first format is forgotten
    EXPECT_EQ(form.lstDIBList->count(), 1);
    EXPECT_EQ(dialogs.messages.size(), 5u);
}

TEST_F(FrmAviTest, EachFrameIsItsFilesPixelsInListOrder) {
    Texts files;
    for (int i = 0; i < 3; ++i) {
        files.push_back(bitmap(std::to_string(i) + ".bmp", 32, 24, 24, i));
        add(files.back());
    }
    write(path("movie.avi"));
    ASSERT_EQ(avi.frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const auto bytes = bitmaps::read(files[i]);
        EXPECT_EQ(avi.frames[i], std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()));
    }
    EXPECT_EQ(avi.lastInfo.rate, 6u);
    EXPECT_EQ(avi.lastInfo.frame.right, 32);
    EXPECT_EQ(avi.lastInfo.frame.bottom, 24);
    EXPECT_EQ(avi.statusAtWrite,
              (Texts{"AVI Status", "Frame number 0 saved", "Frame number 1 saved"}));
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("Finished!"));
    EXPECT_TRUE(avi.live.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FrmAviTest, FramesPerSecondRule) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"  7", 7}, {"2.5x", 2}, {"-3", 1},  {"30.4", 30}, {"1e1", 10},  {"0.5", 1},   {"1.5", 2},
        {"0", 1},   {"", 1},     {"abc", 1}, {"45", 30},   {"12.5", 12}, {"13.5", 14},
    };
    for (const auto& [text, rate] : cases)
        EXPECT_EQ(frmAVI::FramesPerSecond(text), rate) << '"' << text << '"';
}

TEST_F(FrmAviTest, CancellingEitherDialogWritesNoFrames) {
    add(bitmap("a.bmp", 16, 16));
    write(std::nullopt);
    avi.saveOptionsResult = 0;
    write(path("cancel.avi"));
    EXPECT_TRUE(avi.frames.empty());
    EXPECT_TRUE(avi.live.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("AVI Status"));
}

TEST_F(FrmAviTest, MissingBitmapsWhenWriting) {
    const std::string a = bitmap("a.bmp", 16, 16, 24, 0);
    const std::string b = bitmap("b.bmp", 16, 16, 24, 1);
    add(a);
    add(b);
    std::filesystem::remove(b);
    write(path("repeat.avi"));
    ASSERT_EQ(avi.frames.size(), 2u);
    EXPECT_EQ(avi.frames[1], avi.frames[0]); // the frame before it again
    std::filesystem::remove(a);
    write(path("first.avi"));
    EXPECT_EQ(dialogs.texts(),
              (Texts{"File does not exist:\r\n" + b, "File does not exist:\r\n" + a,
                     "Could not load first bitmap file in list!"}));
    EXPECT_TRUE(avi.live.empty());
}

TEST_F(FrmAviTest, EveryFailureIsOneMessageReleasesAllAndDeletesTheMovie) {
    add(bitmap("a.bmp", 16, 16));
    const std::string movie = path("movie.avi");
    for (long WatchedAviLibrary::*result :
         {&WatchedAviLibrary::createStreamResult, &WatchedAviLibrary::compressResult,
          &WatchedAviLibrary::setFormatResult, &WatchedAviLibrary::writeResult,
          &WatchedAviLibrary::fileReleaseResult}) {
        dialogs.messages.clear();
        bitmaps::write(movie, {1, 2, 3});
        avi.*result = examo::avierr::kFileWrite;
        write(movie);
        avi.*result = 0;
        EXPECT_EQ(dialogs.texts(), Texts{"There was an error writing the file."});
        EXPECT_TRUE(avi.live.empty());
        EXPECT_FALSE(std::filesystem::exists(movie));
    }
    // A file the library could not open is not its to delete, nor a link's target.
    avi.openResult = examo::avierr::kFileWrite;
    bitmaps::write(movie, {1, 2, 3});
    write(movie);
    EXPECT_TRUE(std::filesystem::exists(movie));
    avi.openResult = 0;
    std::filesystem::create_symlink(movie, path("link.avi"));
    avi.writeResult = examo::avierr::kFileWrite;
    write(path("link.avi"));
    EXPECT_TRUE(std::filesystem::exists(movie));
}

TEST_F(FrmAviTest, ABitmapChangedAfterAddingStopsTheWrite) {
    add(bitmap("a.bmp", 16, 16));
    add(bitmap("b.bmp", 16, 16));
    bitmap("b.bmp", 24, 16); // replaced by a wider picture
    write(path("changed.avi"));
    EXPECT_EQ(avi.frames.size(), 1u);
    EXPECT_EQ(dialogs.texts(), Texts{"There was an error writing the file."});
}

TEST_F(FrmAviTest, ClosingUnloadsAndShowingAgainStartsAfresh) {
    add(bitmap("a.bmp", 16, 16));
    form.txtFPS->setText(QStringLiteral("12"));
    form.show();
    form.cmdCancel->click();
    EXPECT_EQ(avi.inits, 0);
    form.show();
    EXPECT_EQ(avi.inits, 1);
    EXPECT_EQ(form.lstDIBList->count(), 0);
    EXPECT_EQ(form.txtFPS->text(), QStringLiteral("6"));
    EXPECT_TRUE(form.LastBitmapFolder.empty());
    form.close();
}

} // namespace
