#include "avimaker/frmavi.h"

#include "bitmaps.h"
#include "fakes/fakeavifilelibrary.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakepictureloader.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using examo::Dialogs;
using examo::frmAVI;
using examo::fakes::FakeFileDialogs;
using namespace std::string_literals;

namespace {

// Remembers what the status line said whenever a frame went to the library.
class WatchedAviLibrary : public examo::fakes::FakeAviFileLibrary {
public:
    long streamWrite(examo::AviStreamHandle stream, std::int32_t start, std::int32_t samples,
                     std::span<const std::uint8_t> data, std::uint32_t flags) override {
        if (window != nullptr)
            statusAtWrite.push_back(window->lblStatus->text().toStdString());
        frames.emplace_back(data.begin(), data.end());
        return FakeAviFileLibrary::streamWrite(stream, start, samples, data, flags);
    }
    long fileRelease(examo::AviFileHandle file) override {
        FakeAviFileLibrary::fileRelease(file);
        return fileReleaseResult;
    }
    frmAVI* window = nullptr;
    std::vector<std::string> statusAtWrite;
    std::vector<std::vector<std::uint8_t>> frames;
    long fileReleaseResult = 0;
};

class FrmAviTest : public ::testing::Test {
protected:
    FrmAviTest() : form(dialogs, fileDialogs, shell, program, avi, pictures) {
        program.titleText = "ExamoForge";
        avi.window = &form;
    }

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
    // Writes the list to the movie, answering the save dialog with its path.
    void write(const std::optional<std::string>& movie) {
        fileDialogs.paths.push_back(movie);
        avi.calls.clear();
        form.cmdWriteAVI_Click();
    }
    std::vector<std::string> listed() const {
        std::vector<std::string> entries;
        for (int i = 0; i < form.lstDIBList->count(); ++i)
            entries.push_back(form.lstDIBList->item(i)->text().toStdString());
        return entries;
    }

    QTemporaryDir dir;
    examo::fakes::FakeDialogs dialogs;
    FakeFileDialogs fileDialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
    WatchedAviLibrary avi;
    examo::fakes::FakePictureLoader pictures;
    frmAVI form;
};

const std::vector<std::string> ReleaseAll = {"AVISaveOptionsFree", "AVIStreamRelease|2",
                                             "AVIStreamRelease|3", "AVIFileRelease"};

TEST_F(FrmAviTest, LoadsWithAnEmptyList) {
    EXPECT_EQ(avi.calls, std::vector<std::string>{"AVIFileInit"});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ExamoMe AVI Maker"));
    EXPECT_EQ(form.cmdFileOpen->text(), QStringLiteral("Add BMP file to list..."));
    EXPECT_EQ(form.cmdClearList->text(), QStringLiteral("Clear file list"));
    EXPECT_EQ(form.cmdWriteAVI->text(), QStringLiteral("Write AVI..."));
    EXPECT_EQ(form.cmdCancel->text(), QStringLiteral("Exit"));
    EXPECT_EQ(form.lblFrameRate->text(), QStringLiteral("Frames Per Second:"));
    EXPECT_EQ(form.lblfps->text(), QStringLiteral("(1 - 30)"));
    EXPECT_EQ(form.txtFPS->text(), QStringLiteral("6"));
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("AVI Status"));
    EXPECT_EQ(form.lstDIBList->count(), 0);
    EXPECT_FALSE(form.cmdClearList->isEnabled());
    EXPECT_FALSE(form.cmdWriteAVI->isEnabled());
    EXPECT_FALSE(form.HaveFirstFrame);
}

TEST_F(FrmAviTest, AddingAsksForABitmapAndShowsIt) {
    const std::string a = bitmap("a.bmp", 32, 24);
    add(a);
    ASSERT_EQ(fileDialogs.calls.size(), 1u);
    const auto& r = fileDialogs.calls[0].request;
    EXPECT_EQ(fileDialogs.calls[0].kind, FakeFileDialogs::Kind::Open);
    EXPECT_EQ(r.title, "Choose BMP file to add to video stream");
    EXPECT_EQ(r.filter, "BMP Files\0*.bmp\0DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(r.initialDir, shell.documentsFolder);
    EXPECT_EQ(r.owner, 0);

    EXPECT_EQ(listed(), std::vector<std::string>{a});
    EXPECT_TRUE(form.HaveFirstFrame);
    EXPECT_EQ(form.FirstWidth, 32);
    EXPECT_EQ(form.FirstHeight, 24);
    EXPECT_EQ(form.FirstBitCount, 24);
    EXPECT_TRUE(form.cmdClearList->isEnabled());
    EXPECT_TRUE(form.cmdWriteAVI->isEnabled());
    ASSERT_FALSE(form.imgPreview->pixmap().isNull());
    EXPECT_EQ(form.imgPreview->pixmap().size(), QSize(32, 24));
    EXPECT_EQ(form.LastBitmapFolder, a);
}

TEST_F(FrmAviTest, TheNextDialogStartsWhereTheLastOneEnded) {
    const std::string a = bitmap("a.bmp", 32, 24);
    add(a);
    fileDialogs.paths.push_back(std::nullopt);
    form.cmdFileOpen_Click();
    EXPECT_EQ(fileDialogs.calls.back().request.initialDir, a);
    // A cancelled dialog leaves its starting point behind.
    EXPECT_EQ(form.LastBitmapFolder, a);
    EXPECT_EQ(form.lstDIBList->count(), 1);
}

TEST_F(FrmAviTest, TheSameBitmapTwiceIsTwoFrames) {
    const std::string a = bitmap("a.bmp", 32, 24);
    add(a);
    add(a);
    EXPECT_EQ(listed(), (std::vector<std::string>{a, a}));
    write(path("two.avi"));
    EXPECT_EQ(avi.frames.size(), 2u);
}

TEST_F(FrmAviTest, BitmapsOfAnotherFormatAreRefused) {
    add(bitmap("a.bmp", 32, 24));
    add(bitmap("wide.bmp", 40, 24));
    add(bitmap("tall.bmp", 32, 32));
    add(bitmap("palette.bmp", 32, 24, 8));
    EXPECT_EQ(form.lstDIBList->count(), 1);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.text, "Chosen bitmap file is a different format!");
        EXPECT_EQ(m.icon, Dialogs::Icon::Information);
    }
    EXPECT_TRUE(form.cmdWriteAVI->isEnabled());
}

TEST_F(FrmAviTest, RunLengthFramesDoNotMixWithPlainOnes) {
    add(bitmap("plain.bmp", 32, 24, 8));
    auto rle = bitmaps::bmp8(bitmaps::quarters(32, 24));
    bitmaps::put32(rle, 30, 1); // claims run-length compression
    bitmaps::write(path("rle.bmp"), rle);
    add(path("rle.bmp"));
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Chosen bitmap file is a different format!"});
    EXPECT_EQ(form.lstDIBList->count(), 1);
}

TEST_F(FrmAviTest, UnreadableBitmapIsNotAdded) {
    bitmaps::write(path("junk.bmp"), {'J', 'U', 'N', 'K'});
    add(path("junk.bmp"));
    EXPECT_EQ(
        dialogs.texts(),
        std::vector<std::string>{"File is not a supported bitmap format:\r\n" + path("junk.bmp")});
    EXPECT_EQ(form.lstDIBList->count(), 0);
    EXPECT_FALSE(form.cmdWriteAVI->isEnabled());
}

TEST_F(FrmAviTest, ClearingTheListForgetsTheFirstFormat) {
    add(bitmap("a.bmp", 32, 24));
    QTest::mouseClick(form.cmdClearList, Qt::LeftButton);
    EXPECT_EQ(form.lstDIBList->count(), 0);
    EXPECT_TRUE(form.imgPreview->pixmap().isNull());
    EXPECT_FALSE(form.HaveFirstFrame);
    EXPECT_EQ(form.FirstWidth, 0);
    EXPECT_FALSE(form.cmdClearList->isEnabled());
    EXPECT_FALSE(form.cmdWriteAVI->isEnabled());
    const std::string big = bitmap("big.bmp", 64, 48);
    add(big);
    EXPECT_EQ(listed(), std::vector<std::string>{big});
    EXPECT_EQ(form.FirstWidth, 64);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FrmAviTest, WritingThreeFramesInOrder) {
    const std::string a = bitmap("a.bmp", 32, 24, 24, 0);
    const std::string b = bitmap("b.bmp", 32, 24, 24, 1);
    const std::string c = bitmap("c.bmp", 32, 24, 24, 2);
    add(a);
    add(b);
    add(c);
    write(path("movie.avi"));

    const auto& save = fileDialogs.calls.back();
    EXPECT_EQ(save.kind, FakeFileDialogs::Kind::Save);
    EXPECT_EQ(save.request.title, "Choose a filename to save AVI to...");
    EXPECT_EQ(save.request.filter, "AVI Files\0*.avi\0\0"s);
    EXPECT_EQ(save.request.defaultExt, "avi");
    EXPECT_EQ(save.request.fileBuffer.substr(0, 10), "MyAVI.avi\0"s);
    EXPECT_EQ(save.request.owner, static_cast<std::intptr_t>(form.winId()));
    EXPECT_EQ(save.request.flags,
              examo::dlgflags::kOverwritePrompt | examo::dlgflags::kHideReadOnly);

    const std::string frame = std::to_string(32 * 3 * 24);
    std::vector<std::string> expected = {"AVIFileOpen|" + path("movie.avi") + "|4097",
                                         "AVIFileCreateStream",
                                         "AVISaveOptions|3",
                                         "AVIMakeCompressedStream",
                                         "AVIStreamSetFormat|0|40",
                                         "AVIStreamWrite|0|1|" + frame + "|16",
                                         "AVIStreamWrite|1|1|" + frame + "|16",
                                         "AVIStreamWrite|2|1|" + frame + "|16"};
    expected.insert(expected.end(), ReleaseAll.begin(), ReleaseAll.end());
    EXPECT_EQ(avi.calls, expected);

    EXPECT_EQ(avi.lastInfo.fccType, examo::fourCC("vids"));
    EXPECT_EQ(avi.lastInfo.fccHandler, 0u);
    EXPECT_EQ(avi.lastInfo.scale, 1u);
    EXPECT_EQ(avi.lastInfo.rate, 6u);
    EXPECT_EQ(avi.lastInfo.suggestedBufferSize, 32u * 3 * 24);
    EXPECT_EQ(avi.lastInfo.frame.left, 0);
    EXPECT_EQ(avi.lastInfo.frame.top, 0);
    EXPECT_EQ(avi.lastInfo.frame.right, 32);
    EXPECT_EQ(avi.lastInfo.frame.bottom, 24);

    // Each frame is its own file's pixels, in list order.
    ASSERT_EQ(avi.frames.size(), 3u);
    const auto pixelsOf = [](const std::string& file) {
        const auto bytes = bitmaps::read(file);
        return std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end());
    };
    EXPECT_EQ(avi.frames[0], pixelsOf(a));
    EXPECT_EQ(avi.frames[1], pixelsOf(b));
    EXPECT_EQ(avi.frames[2], pixelsOf(c));

    EXPECT_EQ(avi.statusAtWrite, (std::vector<std::string>{"AVI Status", "Frame number 0 saved",
                                                           "Frame number 1 saved"}));
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("Finished!"));
    EXPECT_EQ(form.lstDIBList->currentRow(), 2);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FrmAviTest, FramesPerSecondRule) {
    // The movies' rates for 0, "", "abc", 45, 12.5 and 13.5 are checked end to end.
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"  7", 7}, {"2.5x", 2}, {"-3", 1}, {"30.4", 30}, {"1e1", 10}, {"0.5", 1}, {"1.5", 2},
    };
    for (const auto& [text, rate] : cases)
        EXPECT_EQ(frmAVI::FramesPerSecond(text), rate) << '"' << text << '"';
    add(bitmap("a.bmp", 16, 16));
    form.txtFPS->setText(QStringLiteral(" 2.5"));
    write(path("fps.avi"));
    EXPECT_EQ(avi.lastInfo.rate, 2u);
}

TEST_F(FrmAviTest, CancellingTheSaveDialogWritesNothing) {
    add(bitmap("a.bmp", 16, 16));
    write(std::nullopt);
    EXPECT_TRUE(avi.calls.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FrmAviTest, CancellingTheCompressionDialogWritesNoFrames) {
    add(bitmap("a.bmp", 16, 16));
    avi.saveOptionsResult = 0;
    write(path("cancel.avi"));
    EXPECT_EQ(avi.calls, (std::vector<std::string>{"AVIFileOpen|" + path("cancel.avi") + "|4097",
                                                   "AVIFileCreateStream", "AVISaveOptions|3",
                                                   "AVISaveOptionsFree", "AVIStreamRelease|2",
                                                   "AVIFileRelease"}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("AVI Status"));
}

TEST_F(FrmAviTest, FirstBitmapGoneWhenWriting) {
    const std::string a = bitmap("a.bmp", 16, 16);
    add(a);
    std::filesystem::remove(a);
    write(path("first.avi"));
    EXPECT_EQ(avi.calls, (std::vector<std::string>{"AVIFileOpen|" + path("first.avi") + "|4097",
                                                   "AVIFileRelease"}));
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"File does not exist:\r\n" + a,
                                        "Could not load first bitmap file in list!"}));
    EXPECT_EQ(dialogs.messages[1].icon, Dialogs::Icon::Exclamation);
}

TEST_F(FrmAviTest, ALaterBitmapGoneRepeatsTheFrameBeforeIt) {
    const std::string a = bitmap("a.bmp", 16, 16, 24, 0);
    const std::string b = bitmap("b.bmp", 16, 16, 24, 1);
    add(a);
    add(b);
    std::filesystem::remove(b);
    write(path("repeat.avi"));
    ASSERT_EQ(avi.frames.size(), 2u);
    EXPECT_EQ(avi.frames[1], avi.frames[0]);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"File does not exist:\r\n" + b});
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("Finished!"));
}

TEST_F(FrmAviTest, EveryLibraryFailureIsOneMessageAndReleasesWhatWasMade) {
    struct Case {
        long examo::fakes::FakeAviFileLibrary::*result;
        std::vector<std::string> after; // the calls that follow the failing one
    };
    const std::map<std::string, Case> cases = {
        {"AVIFileOpen", {&WatchedAviLibrary::openResult, {}}},
        {"AVIFileCreateStream", {&WatchedAviLibrary::createStreamResult, {"AVIFileRelease"}}},
        {"AVIMakeCompressedStream",
         {&WatchedAviLibrary::compressResult,
          {"AVISaveOptionsFree", "AVIStreamRelease|2", "AVIFileRelease"}}},
        {"AVIStreamSetFormat", {&WatchedAviLibrary::setFormatResult, ReleaseAll}},
        {"AVIStreamWrite", {&WatchedAviLibrary::writeResult, ReleaseAll}},
    };
    add(bitmap("a.bmp", 16, 16));
    for (const auto& [call, c] : cases) {
        SCOPED_TRACE(call);
        avi.*(c.result) = examo::avierr::kCompressor;
        dialogs.messages.clear();
        write(path("fail.avi"));
        avi.*(c.result) = 0;
        EXPECT_EQ(dialogs.texts(),
                  std::vector<std::string>{"There was an error writing the file."});
        EXPECT_EQ(dialogs.messages.at(0).icon, Dialogs::Icon::Information);
        const auto failed = std::find_if(avi.calls.begin(), avi.calls.end(),
                                         [&](const std::string& s) { return s.starts_with(call); });
        ASSERT_NE(failed, avi.calls.end());
        EXPECT_EQ(std::vector<std::string>(failed + 1, avi.calls.end()), c.after);
    }
}

TEST_F(FrmAviTest, AFailedMovieIsDeletedButNothingElse) {
    add(bitmap("a.bmp", 16, 16));
    const std::string movie = path("movie.avi");
    const auto failWith = [&](long WatchedAviLibrary::*result) {
        bitmaps::write(movie, {1, 2, 3});
        avi.*result = examo::avierr::kFileWrite;
        write(movie);
        avi.*result = 0;
    };
    failWith(&WatchedAviLibrary::writeResult);
    EXPECT_FALSE(std::filesystem::exists(movie));
    // A file is complete only once released.
    failWith(&WatchedAviLibrary::fileReleaseResult);
    EXPECT_FALSE(std::filesystem::exists(movie));
    // A file the library could not open is not its to delete.
    failWith(&WatchedAviLibrary::openResult);
    EXPECT_TRUE(std::filesystem::exists(movie));
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>(3, "There was an error writing the file."));

    // Nor is a link the name happened to be, or what it points to.
    const std::string target = path("target.avi"), link = path("link.avi");
    bitmaps::write(target, {1, 2, 3});
    std::filesystem::create_symlink(target, link);
    avi.writeResult = examo::avierr::kFileWrite;
    write(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::exists(target));
}

TEST_F(FrmAviTest, ABitmapChangedAfterAddingStopsTheWrite) {
    add(bitmap("a.bmp", 16, 16));
    const std::string b = bitmap("b.bmp", 16, 16);
    add(b);
    bitmap("b.bmp", 24, 16); // replaced by a wider picture
    write(path("changed.avi"));
    EXPECT_EQ(avi.frames.size(), 1u);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"There was an error writing the file."});
}

TEST_F(FrmAviTest, ClosingUnloadsAndShowingAgainStartsAfresh) {
    add(bitmap("a.bmp", 16, 16));
    form.txtFPS->setText(QStringLiteral("12"));
    form.show();
    QTest::mouseClick(form.cmdCancel, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(avi.calls.back(), "AVIFileExit");
    EXPECT_EQ(form.lstDIBList->count(), 0);

    avi.calls.clear();
    form.show();
    EXPECT_EQ(avi.calls, std::vector<std::string>{"AVIFileInit"});
    EXPECT_EQ(form.txtFPS->text(), QStringLiteral("6"));
    EXPECT_TRUE(form.LastBitmapFolder.empty());
    form.close();
}

} // namespace
