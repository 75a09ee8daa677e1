#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeshell.h"
#include "storage/modfileio.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace examo;
using fakes::FakeDialogs;
using fakes::FakeFileDialogs;

namespace {
const std::string kQuizFilter = std::string("Examo Tests (*.exm)\0*.exm", 25);
}

TEST(FileDialogsRequest, OpenAsksWithTheFixedValues) {
    FakeFileDialogs fd;
    FakeDialogs msg;
    modFileIO::ShowOpenDialog(fd, msg, 4242, kQuizFilter, "/home/ann");
    ASSERT_EQ(fd.calls.size(), 1u);
    const auto& r = fd.calls[0].request;
    EXPECT_EQ(fd.calls[0].kind, FakeFileDialogs::Kind::Open);
    EXPECT_EQ(r.owner, 4242);
    EXPECT_EQ(r.filter, std::string("Examo Tests (*.exm)\0*.exm\0\0", 27));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.fileBuffer, std::string(257, '\0'));
    EXPECT_EQ(r.fileTitleBuffer, std::string(257, '\0'));
    EXPECT_EQ(r.initialDir, "/home/ann");
    EXPECT_EQ(r.title, "Open File...");
    EXPECT_EQ(r.flags, 0x81000u);
    EXPECT_EQ(r.defaultExt, "exm"); // for every open dialog, whatever it opens
}

TEST(FileDialogsRequest, SaveProposesUntitledWithTheExtension) {
    FakeFileDialogs fd;
    modFileIO::ShowSaveDialog(fd, 7, kQuizFilter, "/q", "exm");
    modFileIO::ShowSaveDialog(fd, 7, "Text Files (*.txt)", "/q", "txt");
    const auto& r = fd.calls[0].request;
    EXPECT_EQ(fd.calls[0].kind, FakeFileDialogs::Kind::Save);
    EXPECT_EQ(r.fileBuffer, "untitled.exm" + std::string(247, ' '));
    EXPECT_EQ(r.fileTitleBuffer, "untitled.exm");
    EXPECT_EQ(r.title, "Save File...");
    EXPECT_EQ(r.flags, 0x80002u);
    EXPECT_EQ(r.defaultExt, "exm");
    EXPECT_EQ(fd.calls[1].request.fileBuffer.substr(0, 12), "untitled.txt");
    EXPECT_EQ(fd.calls[1].request.defaultExt, "txt");
}

TEST(FileDialogsResult, ThePathComesBackWholeWithoutTheRestOfTheBuffer) {
    FakeFileDialogs fd;
    FakeDialogs msg;
    const std::string longOpen = "/" + std::string(254, 'a');
    const std::string longSave = "/" + std::string(258, 'b');
    fd.paths = {longOpen, longSave, std::nullopt, std::nullopt};
    EXPECT_EQ(modFileIO::ShowOpenDialog(fd, msg, 0, kQuizFilter, "/"), longOpen);
    EXPECT_EQ(modFileIO::ShowSaveDialog(fd, 0, kQuizFilter, "/", "exm"), longSave);
    EXPECT_EQ(modFileIO::ShowOpenDialog(fd, msg, 0, kQuizFilter, "/"), "");
    EXPECT_EQ(modFileIO::ShowSaveDialog(fd, 0, kQuizFilter, "/", "exm"), "");
    EXPECT_TRUE(msg.messages.empty());
}

TEST(FileDialogsResult, AFailingOpenDialogShowsThePlatformsDescription) {
    FakeFileDialogs fd;
    FakeDialogs msg;
    fd.failWith = "No display available";
    EXPECT_EQ(modFileIO::ShowOpenDialog(fd, msg, 0, kQuizFilter, "/"), "");
    ASSERT_EQ(msg.messages.size(), 1u);
    EXPECT_EQ(msg.messages[0].text, "No display available");
    EXPECT_EQ(msg.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(msg.messages[0].title, ""); // the program's title
    // The save dialog has no handler of its own.
    EXPECT_THROW(modFileIO::ShowSaveDialog(fd, 0, kQuizFilter, "/", "exm"), std::runtime_error);
}

TEST(ShellCopy, CopiesReplacingTheTargetWithTheFixedRequest) {
    examo::testing::TempFolder dir;
    examo::testing::writeBytes(dir.path("dog.bmp"), "new");
    examo::testing::writeBytes(dir.path("copy.bmp"), "old contents");
    fakes::FakeShell shell;
    FakeDialogs msg;
    EXPECT_TRUE(modFileIO::ShellCopy(shell, msg, dir.path("dog.bmp"), dir.path("copy.bmp")));
    EXPECT_EQ(examo::testing::readBytes(dir.path("copy.bmp")), "new");
    ASSERT_EQ(shell.operations.size(), 1u);
    const auto& r = shell.operations[0];
    EXPECT_EQ(r.owner, 0);
    EXPECT_EQ(r.func, 2u);
    EXPECT_EQ(r.from, dir.path("dog.bmp") + std::string(2, '\0'));
    EXPECT_EQ(r.to, dir.path("copy.bmp") + std::string(2, '\0'));
    EXPECT_EQ(r.flags, 0xD0u);
    EXPECT_TRUE(msg.messages.empty());
}

TEST(ShellCopy, AFailedCopySaysSoAndGivesFalse) {
    fakes::FakeShell shell;
    shell.copyResult = 1223;
    FakeDialogs msg;
    EXPECT_FALSE(modFileIO::ShellCopy(shell, msg, "/a", "/b"));
    ASSERT_EQ(msg.messages.size(), 1u);
    EXPECT_EQ(msg.messages[0].text, "Error occurred!");
    EXPECT_EQ(msg.messages[0].title, "SHCOPY");
    EXPECT_EQ(msg.messages[0].icon, Dialogs::Icon::Information);
    EXPECT_EQ(msg.messages[0].buttons, Dialogs::Buttons::Ok);
}
