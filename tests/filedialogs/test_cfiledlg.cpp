#include "filedialogs/cfiledlg.h"

#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

using examo::cFileDlg;
using examo::fakes::FakeFileDialogs;
namespace dlgflags = examo::dlgflags;
using namespace std::string_literals;

namespace {

const std::string kNul(1, '\0');

class CFileDlgTest : public ::testing::Test {
protected:
    const examo::FileDialogRequest& lastRequest() const { return dialogs.calls.back().request; }

    FakeFileDialogs dialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
    cFileDlg dlg{dialogs, shell, program};
};

TEST_F(CFileDlgTest, TheRequestCarriesTheProperties) {
    EXPECT_EQ(dlg.InitDirectory(), shell.documentsFolder);
    dlg.InitDirectorySpecial(38); // a folder this desktop does not know
    EXPECT_EQ(dlg.InitDirectory(), "");
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    dlg.FilterIndex(2);
    dlg.DefaultExt("bmp");
    dlg.InitDirectory("/pictures");
    std::string name = "start.bmp", title = "start";
    dlg.VBGetOpenFileName(name, title);

    const auto& r = lastRequest();
    EXPECT_EQ(r.owner, 0); // OwnerHwnd -1: no owner
    EXPECT_EQ(r.filter, "BMP Files\0*.bmp\0DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.fileBuffer.substr(0, 10), "start.bmp\0"s);
    EXPECT_EQ(r.fileTitleBuffer.substr(0, 6), "start\0"s);
    EXPECT_EQ(r.initialDir, "/pictures");
    EXPECT_EQ(r.title, "ExamoMe"); // the program's title
    EXPECT_EQ(r.defaultExt, "bmp");

    dlg.OwnerHwnd(0x3a00007);
    dlg.VBGetSaveFileName(name);
    EXPECT_EQ(lastRequest().owner, 0x3a00007);
    // Every colon and bar splits, even one inside a description.
    dlg.Filter("Files on C: drive|*.txt");
    dlg.VBGetOpenFileName(name);
    EXPECT_EQ(lastRequest().filter, "Files on C\0 drive\0*.txt\0\0"s);
}

TEST_F(CFileDlgTest, FlagRules) {
    constexpr std::uint32_t kHookAndTemplate = 0x60;
    struct Case {
        const char* name;
        std::int32_t flags;
        bool mustExist, hideReadOnly, multiSelect, overwritePrompt;
        std::uint32_t open, save;
    };
    const Case cases[] = {
        {"defaults", 0, true, true, false, true, dlgflags::kFileMustExist | dlgflags::kHideReadOnly,
         dlgflags::kOverwritePrompt | dlgflags::kHideReadOnly},
        {"hook and template are removed, others pass", kHookAndTemplate | dlgflags::kExplorer, true,
         true, false, true,
         dlgflags::kFileMustExist | dlgflags::kHideReadOnly | dlgflags::kExplorer,
         dlgflags::kOverwritePrompt | dlgflags::kHideReadOnly | dlgflags::kExplorer},
        // The save dialog always hides the read-only box and never asks for existing files.
        {"all off but multiple files", 0, false, false, true, false, dlgflags::kAllowMultiSelect,
         dlgflags::kHideReadOnly},
    };
    EXPECT_TRUE(dlg.FileMustExist() && dlg.HideReadOnly() && dlg.OverwritePrompt());
    EXPECT_FALSE(dlg.MultiSelect() || dlg.ReadOnly());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dlg.FileMustExist(c.mustExist);
        dlg.HideReadOnly(c.hideReadOnly);
        dlg.MultiSelect(c.multiSelect);
        dlg.OverwritePrompt(c.overwritePrompt);
        std::string name;
        dlg.Flags(c.flags);
        dlg.VBGetOpenFileNamePreview(name);
        EXPECT_EQ(dialogs.calls.back().kind, FakeFileDialogs::Kind::OpenPreview);
        EXPECT_EQ(lastRequest().flags, c.open);
        dlg.Flags(c.flags);
        dlg.VBGetSaveFileName(name);
        EXPECT_EQ(lastRequest().flags, c.save);
    }
}

TEST_F(CFileDlgTest, ChoosingAFileUpdatesThePropertiesAndTheNextFilter) {
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    dialogs.paths = {"/movies/My a.dib", "/p/b.dib"};
    dialogs.chosenFilterIndex = 2;
    dialogs.returnedFlags = dlgflags::kHideReadOnly | dlgflags::kReadOnly | 0x8000u;
    std::string name = "MyAVI.avi", title;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));
    EXPECT_EQ(name, "/movies/My a.dib");
    EXPECT_EQ(title, "My a.dib");
    EXPECT_EQ(dlg.FilterIndex(), 2);
    EXPECT_EQ(dlg.Flags(),
              static_cast<std::int32_t>(dlgflags::kHideReadOnly | dlgflags::kReadOnly | 0x8000u));
    EXPECT_TRUE(dlg.ReadOnly());
    EXPECT_EQ(dlg.InitDirectory(), "/movies/My a.dib");
    // The next dialog offers only the chosen pair, where index 2 names nothing.
    EXPECT_EQ(dlg.Filter(), "DIB Files\0*.dib"s);
    ASSERT_TRUE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(lastRequest().filter, "DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(dlg.Filter(), "");

    // Several files come back as the folder and the names, unparsed.
    dlg.MultiSelect(true);
    dialogs.paths.push_back("/p\0a.bmp\0b.bmp"s);
    ASSERT_TRUE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(name, "/p\0a.bmp\0b.bmp"s);
    EXPECT_EQ(dlg.InitDirectory(), "/p");
}

TEST_F(CFileDlgTest, CancellingOrFailingLeavesOneNulAndNoFilter) {
    dlg.Filter("BMP Files|*.bmp");
    dlg.FilterIndex(1);
    dlg.Flags(static_cast<std::int32_t>(dlgflags::kExplorer));
    dlg.InitDirectory("/start");
    dialogs.paths = {std::nullopt, std::nullopt};
    std::string name = "x.bmp", title = "x";
    EXPECT_FALSE(dlg.VBGetOpenFileName(name, title));
    EXPECT_EQ(name, kNul);
    EXPECT_EQ(title, kNul);
    EXPECT_EQ(dlg.Flags(), 0);
    EXPECT_EQ(dlg.FilterIndex(), -1);
    EXPECT_EQ(dlg.Filter(), kNul);
    EXPECT_EQ(dlg.InitDirectory(), "/start");
    name = "MyAVI.avi";
    EXPECT_FALSE(dlg.VBGetSaveFileName(name));
    EXPECT_EQ(name, kNul);
    EXPECT_EQ(dlg.FilterIndex(), 0); // not -1 after the save dialog

    dialogs.failWith = "no display";
    name = "a.bmp";
    EXPECT_FALSE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(name, kNul);
    EXPECT_EQ(dlg.FilterIndex(), -1);
}

TEST_F(CFileDlgTest, OverlongNamesFailBeforeAnyDialog) {
    std::string longName(1025, 'a');
    EXPECT_THROW(dlg.VBGetOpenFileName(longName), std::length_error);
    std::string name = "a", longTitle(513, 't');
    EXPECT_THROW(dlg.VBGetSaveFileName(name, longTitle), std::length_error);
    EXPECT_TRUE(dialogs.calls.empty());
    std::string fits(1024, 'a');
    EXPECT_NO_THROW(dlg.VBGetOpenFileName(fits));
}

TEST_F(CFileDlgTest, ExistFileTellsFilesFromMissingOnesAndFolders) {
    const auto folder = std::filesystem::temp_directory_path() / "examo_cfiledlg_test";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "empty.bmp").close();
    EXPECT_TRUE(cFileDlg::ExistFile((folder / "empty.bmp").string()));
    EXPECT_FALSE(cFileDlg::ExistFile((folder / "missing.bmp").string()));
    EXPECT_FALSE(cFileDlg::ExistFile(folder.string()));
    std::filesystem::remove_all(folder);
}

} // namespace
