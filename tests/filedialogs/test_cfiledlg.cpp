#include "filedialogs/cfiledlg.h"

#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"

#include <gtest/gtest.h>

#include <stdexcept>

using examo::cFileDlg;
using namespace examo::dlgflags;
using namespace std::string_literals;

namespace {

const std::string kNul(1, '\0');

class CFileDlgTest : public ::testing::Test {
protected:
    const examo::FileDialogRequest& lastRequest() const { return dialogs.calls.back().request; }

    examo::fakes::FakeFileDialogs dialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
    cFileDlg dlg{dialogs, shell, program};
};

TEST_F(CFileDlgTest, TheRequestCarriesTheProperties) {
    dlg.InitDirectorySpecial(38); // a folder this desktop does not know
    EXPECT_EQ(dlg.InitDirectory(), "");
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    std::string name = "start.bmp", title = "start";
    dlg.VBGetOpenFileName(name, title);
    EXPECT_EQ(lastRequest().filter, "BMP Files\0*.bmp\0DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(lastRequest().fileBuffer.substr(0, 10), "start.bmp\0"s);

    // Every colon and bar splits, even one inside a description.
    dlg.Filter("Files on C: drive|*.txt");
    dlg.VBGetOpenFileName(name);
    EXPECT_EQ(lastRequest().filter, "Files on C\0 drive\0*.txt\0\0"s);
}

TEST_F(CFileDlgTest, FlagRules) {
    // Hook and template (0x60) are removed, others pass; the save dialog always hides the
    // read-only box and never asks for existing files.
    const std::tuple<std::int32_t, bool, bool, std::uint32_t, std::uint32_t> cases[] = {
        {0, true, false, kFileMustExist | kHideReadOnly, kOverwritePrompt | kHideReadOnly},
        {0x60 | kExplorer, true, false, kFileMustExist | kHideReadOnly | kExplorer,
         kOverwritePrompt | kHideReadOnly | kExplorer},
        {0, false, true, kAllowMultiSelect, kHideReadOnly},
    };
    for (const auto& [flags, defaults, multiSelect, open, save] : cases) {
        dlg.FileMustExist(defaults);
        dlg.HideReadOnly(defaults);
        dlg.OverwritePrompt(defaults);
        dlg.MultiSelect(multiSelect);
        std::string name;
        dlg.Flags(flags);
        dlg.VBGetOpenFileNamePreview(name);
        EXPECT_EQ(lastRequest().flags, open) << flags;
        dlg.Flags(flags);
        dlg.VBGetSaveFileName(name);
        EXPECT_EQ(lastRequest().flags, save) << flags;
    }
}

TEST_F(CFileDlgTest, ChoosingAFileUpdatesThePropertiesAndTheNextFilter) {
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    dialogs.paths = {"/movies/My a.dib", "/p/b.dib"};
    dialogs.chosenFilterIndex = 2;
    dialogs.returnedFlags = kHideReadOnly | kReadOnly | 0x8000u;
    std::string name = "MyAVI.avi", title;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
    EXPECT_EQ(name + "|" + title, "/movies/My a.dib|My a.dib");
    EXPECT_EQ(dlg.FilterIndex(), 2);
    EXPECT_TRUE(dlg.ReadOnly());
    EXPECT_EQ(dlg.InitDirectory(), "/movies/My a.dib");
    // The next dialog offers only the chosen pair, where index 2 names nothing.
    ASSERT_TRUE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(lastRequest().filter, "DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(dlg.Filter(), "");
    // Several files come back as the folder and the names, unparsed.
    dlg.MultiSelect(true);
    dialogs.paths.push_back("/p\0a.bmp\0b.bmp"s);
    EXPECT_TRUE(dlg.VBGetOpenFileName(name) && name == "/p\0a.bmp\0b.bmp"s);
    EXPECT_EQ(dlg.InitDirectory(), "/p");
}

TEST_F(CFileDlgTest, CancellingOrFailingLeavesOneNulAndNoFilter) {
    dlg.Filter("BMP Files|*.bmp");
    dlg.Flags(static_cast<std::int32_t>(kExplorer));
    dialogs.paths = {std::nullopt, std::nullopt};
    std::string name = "x.bmp", title = "x";
    EXPECT_FALSE(dlg.VBGetOpenFileName(name, title));
    EXPECT_EQ(name + title, kNul + kNul);
    EXPECT_EQ(dlg.Flags(), 0);
    EXPECT_EQ(dlg.FilterIndex(), -1);
    EXPECT_EQ(dlg.Filter(), kNul);
    EXPECT_FALSE(dlg.VBGetSaveFileName(name));
    EXPECT_EQ(dlg.FilterIndex(), 0); // not -1 after the save dialog
    dialogs.failWith = "no display";
    name = "a.bmp";
    EXPECT_FALSE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(name, kNul);
}

TEST_F(CFileDlgTest, OverlongNamesFailBeforeAnyDialog) {
    std::string longName(1025, 'a');
    EXPECT_THROW(dlg.VBGetOpenFileName(longName), std::length_error);
    EXPECT_TRUE(dialogs.calls.empty());
    longName.pop_back();
    EXPECT_NO_THROW(dlg.VBGetOpenFileName(longName));
    EXPECT_TRUE(cFileDlg::ExistFile("/proc/self/exe"));
    EXPECT_FALSE(cFileDlg::ExistFile("/proc/self/no-such-file"));
    EXPECT_FALSE(cFileDlg::ExistFile("/proc/self")); // a folder
}

} // namespace
