#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeshell.h"
#include "storage/modfileio.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace examo;
using namespace std::string_literals;
using Texts = std::vector<std::string>;

TEST(FileDialogs, TheRequestsBuffersAndTheWholePathComesBack) {
    fakes::FakeFileDialogs fd;
    fakes::FakeDialogs msg;
    const std::string longOpen = "/" + std::string(254, 'a'),
                      longSave = "/" + std::string(258, 'b');
    fd.paths = {longOpen, longSave, std::nullopt};
    EXPECT_EQ(modFileIO::ShowOpenDialog(fd, msg, 42, "Examo Tests (*.exm)\0*.exm"s, "/"), longOpen);
    EXPECT_EQ(modFileIO::ShowSaveDialog(fd, 7, "Text Files (*.txt)", "/q", "txt"), longSave);
    EXPECT_EQ(modFileIO::ShowOpenDialog(fd, msg, 0, "", "/"), "");
    EXPECT_EQ(fd.calls[0].request.filter, "Examo Tests (*.exm)\0*.exm\0\0"s);
    EXPECT_EQ(fd.calls[0].request.defaultExt, "exm"); // for every open dialog, whatever it opens
    EXPECT_EQ(fd.calls[1].request.fileBuffer, "untitled.txt" + std::string(247, ' '));
    EXPECT_TRUE(msg.messages.empty());

    fd.failWith = "No display available";
    EXPECT_EQ(modFileIO::ShowOpenDialog(fd, msg, 0, "", "/"), "");
    EXPECT_EQ(msg.texts(), Texts{"No display available"});
    // The save dialog has no handler of its own.
    EXPECT_THROW(modFileIO::ShowSaveDialog(fd, 0, "", "/", "exm"), std::runtime_error);
}

TEST(ShellCopy, CopiesReplacingTheTargetOrSaysItFailed) {
    examo::testing::TempFolder dir;
    examo::testing::writeBytes(dir.path("dog.bmp"), "new");
    examo::testing::writeBytes(dir.path("copy.bmp"), "old contents");
    fakes::FakeShell shell;
    fakes::FakeDialogs msg;
    EXPECT_TRUE(modFileIO::ShellCopy(shell, msg, dir.path("dog.bmp"), dir.path("copy.bmp")));
    EXPECT_EQ(examo::testing::readBytes(dir.path("copy.bmp")), "new");
    EXPECT_TRUE(msg.messages.empty());
    shell.copyResult = 1223;
    EXPECT_FALSE(modFileIO::ShellCopy(shell, msg, "/a", "/b"));
    EXPECT_EQ(msg.texts(), Texts{"Error occurred!"});
}
