#include "filedialogs/cfiledlg.h"

#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

using examo::cFileDlg;
using examo::fakes::FakeFileDialogs;
namespace dlgflags = examo::dlgflags;
using namespace std::string_literals;

namespace {

const std::string Nul(1, '\0');

class CFileDlgTest : public ::testing::Test {
protected:
    CFileDlgTest() { program.titleText = "ExamoForge"; }

    cFileDlg make() { return cFileDlg(dialogs, shell, program); }
    const examo::FileDialogRequest& lastRequest() const { return dialogs.calls.back().request; }

    FakeFileDialogs dialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
};

TEST_F(CFileDlgTest, StartsWithTheDocumentsFolderAndTheProgramsTitle) {
    shell.documentsFolder = "/home/ann/Documents";
    const cFileDlg dlg = make();
    EXPECT_EQ(dlg.InitDirectory(), "/home/ann/Documents");
    EXPECT_EQ(dlg.DlgTitle(), "ExamoForge");
    EXPECT_EQ(dlg.OwnerHwnd(), -1);
    EXPECT_TRUE(dlg.FileMustExist());
    EXPECT_TRUE(dlg.HideReadOnly());
    EXPECT_TRUE(dlg.OverwritePrompt());
    EXPECT_FALSE(dlg.MultiSelect());
    EXPECT_FALSE(dlg.ReadOnly());
    EXPECT_EQ(dlg.FilterIndex(), 0);
    EXPECT_EQ(dlg.Flags(), 0);
}

TEST_F(CFileDlgTest, InitDirectorySpecialAsksTheShell) {
    cFileDlg dlg = make();
    dlg.InitDirectory("/tmp");
    dlg.InitDirectorySpecial(5);
    EXPECT_EQ(dlg.InitDirectory(), shell.documentsFolder);
    dlg.InitDirectorySpecial(38); // a folder this desktop does not know
    EXPECT_EQ(dlg.InitDirectory(), "");
}

TEST_F(CFileDlgTest, OpenRecordHoldsTheValuesAndBuffers) {
    cFileDlg dlg = make();
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    dlg.FilterIndex(2);
    dlg.DefaultExt("bmp");
    dlg.InitDirectory("/pictures");
    std::string name = "start.bmp", title = "start";
    dialogs.paths.push_back(std::nullopt);
    dlg.VBGetOpenFileName(name, title);

    const auto& r = lastRequest();
    EXPECT_EQ(dialogs.calls.back().kind, FakeFileDialogs::Kind::Open);
    EXPECT_EQ(r.structSize, 76u);
    EXPECT_EQ(r.owner, 0); // OwnerHwnd -1: no owner
    EXPECT_EQ(r.filter, "BMP Files\0*.bmp\0DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.fileBuffer, "start.bmp" + std::string(1024 - 9, '\0'));
    EXPECT_EQ(r.maxFile, 1024u);
    EXPECT_EQ(r.fileTitleBuffer, "start" + std::string(512 - 5, '\0'));
    EXPECT_EQ(r.maxFileTitle, 512u);
    EXPECT_EQ(r.initialDir, "/pictures");
    EXPECT_EQ(r.title, "ExamoForge");
    EXPECT_EQ(r.defaultExt, "bmp");
    EXPECT_EQ(r.flags, dlgflags::kFileMustExist | dlgflags::kHideReadOnly);

    dlg.OwnerHwnd(0x3a00007);
    dlg.VBGetSaveFileName(name);
    EXPECT_EQ(lastRequest().owner, 0x3a00007);
}

TEST_F(CFileDlgTest, FilterSplitsAtEveryColonAndBar) {
    cFileDlg dlg = make();
    dlg.Filter("Files on C: drive|*.txt");
    std::string name;
    dlg.VBGetOpenFileName(name);
    EXPECT_EQ(lastRequest().filter, "Files on C\0 drive\0*.txt\0\0"s);

    dlg.Filter("Already\0*.x\0"s);
    dlg.VBGetOpenFileName(name);
    EXPECT_EQ(lastRequest().filter, "Already\0*.x\0\0\0"s);
}

TEST_F(CFileDlgTest, FlagRules) {
    cFileDlg dlg = make();
    std::string name;
    // Hook and template are always removed; other flags pass through.
    dlg.Flags(0x60 | dlgflags::kExplorer);
    dlg.VBGetOpenFileNamePreview(name);
    EXPECT_EQ(dialogs.calls.back().kind, FakeFileDialogs::Kind::OpenPreview);
    EXPECT_EQ(lastRequest().flags,
              dlgflags::kFileMustExist | dlgflags::kHideReadOnly | dlgflags::kExplorer);
    dlg.Flags(0x60 | dlgflags::kExplorer);
    dlg.VBGetSaveFileName(name);
    EXPECT_EQ(lastRequest().flags,
              dlgflags::kOverwritePrompt | dlgflags::kHideReadOnly | dlgflags::kExplorer);

    dlg.Flags(0);
    dlg.FileMustExist(false);
    dlg.HideReadOnly(false);
    dlg.MultiSelect(true);
    dlg.OverwritePrompt(false);
    dlg.VBGetOpenFileName(name);
    EXPECT_EQ(lastRequest().flags, dlgflags::kAllowMultiSelect);
    // The save dialog always hides the read-only box and never asks for existing files.
    dlg.VBGetSaveFileName(name);
    EXPECT_EQ(lastRequest().flags, dlgflags::kHideReadOnly);
}

TEST_F(CFileDlgTest, ChoosingAFileUpdatesTheProperties) {
    cFileDlg dlg = make();
    dlg.Filter("AVI Files|*.avi");
    dialogs.paths.push_back("/movies/My AVI.avi");
    dialogs.chosenFilterIndex = 1;
    dialogs.returnedFlags = dlgflags::kHideReadOnly | dlgflags::kReadOnly | 0x8000u;
    std::string name = "MyAVI.avi", title;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name, title));

    EXPECT_EQ(name, "/movies/My AVI.avi");
    EXPECT_EQ(title, "My AVI.avi");
    EXPECT_EQ(dlg.FilterIndex(), 1);
    EXPECT_EQ(dlg.Filter(), "AVI Files\0*.avi"s);
    EXPECT_EQ(dlg.Flags(),
              static_cast<std::int32_t>(dlgflags::kHideReadOnly | dlgflags::kReadOnly | 0x8000u));
    EXPECT_TRUE(dlg.ReadOnly());
    EXPECT_EQ(dlg.InitDirectory(), "/movies/My AVI.avi");
}

TEST_F(CFileDlgTest, TheNextDialogOffersOnlyTheChosenPair) {
    cFileDlg dlg = make();
    dlg.Filter("BMP Files|*.bmp:DIB Files|*.dib");
    dialogs.paths = {"/p/a.dib", "/p/b.dib"};
    dialogs.chosenFilterIndex = 2;
    std::string name;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(dlg.Filter(), "DIB Files\0*.dib"s);
    ASSERT_TRUE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(lastRequest().filter, "DIB Files\0*.dib\0\0"s);
    EXPECT_EQ(lastRequest().initialDir, "/p/a.dib");
    // That list has one pair only, so the index 2 the dialog answered names nothing.
    EXPECT_EQ(dlg.Filter(), "");
}

TEST_F(CFileDlgTest, CancellingLeavesOneNulAndNoFilter) {
    cFileDlg dlg = make();
    dlg.Filter("BMP Files|*.bmp");
    dlg.FilterIndex(1);
    dlg.Flags(static_cast<std::int32_t>(dlgflags::kExplorer));
    dlg.InitDirectory("/start");
    dialogs.paths = {std::nullopt, std::nullopt};
    std::string name = "x.bmp", title = "x";
    EXPECT_FALSE(dlg.VBGetOpenFileName(name, title));
    EXPECT_EQ(name, Nul);
    EXPECT_EQ(title, Nul);
    EXPECT_EQ(dlg.Flags(), 0);
    EXPECT_EQ(dlg.FilterIndex(), -1);
    EXPECT_EQ(dlg.Filter(), Nul);
    EXPECT_EQ(dlg.InitDirectory(), "/start");
    EXPECT_FALSE(dlg.ReadOnly());

    // The save dialog leaves the index at 0, not -1.
    name = "MyAVI.avi";
    EXPECT_FALSE(dlg.VBGetSaveFileName(name));
    EXPECT_EQ(name, Nul);
    EXPECT_EQ(dlg.FilterIndex(), 0);
}

TEST_F(CFileDlgTest, ADialogThatCannotBeShownChoosesNothing) {
    cFileDlg dlg = make();
    dialogs.failWith = "no display";
    std::string name = "a.bmp";
    EXPECT_FALSE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(name, Nul);
    EXPECT_EQ(dlg.FilterIndex(), -1);
}

TEST_F(CFileDlgTest, OverlongNamesFailBeforeAnyDialog) {
    cFileDlg dlg = make();
    std::string longName(1025, 'a');
    EXPECT_THROW(dlg.VBGetOpenFileName(longName), std::length_error);
    std::string name = "a", longTitle(513, 't');
    EXPECT_THROW(dlg.VBGetSaveFileName(name, longTitle), std::length_error);
    EXPECT_TRUE(dialogs.calls.empty());
    std::string fits(1024, 'a');
    EXPECT_NO_THROW(dlg.VBGetOpenFileName(fits));
}

TEST_F(CFileDlgTest, MultiSelectReturnsFolderAndNamesUnparsed) {
    cFileDlg dlg = make();
    dlg.MultiSelect(true);
    const std::string several = "/p\0a.bmp\0b.bmp"s;
    dialogs.paths.push_back(several);
    std::string name;
    ASSERT_TRUE(dlg.VBGetOpenFileName(name));
    EXPECT_EQ(name, several);
    EXPECT_EQ(dlg.InitDirectory(), "/p");
}

TEST_F(CFileDlgTest, ExistFileTellsFilesFromMissingOnesAndFolders) {
    const auto folder = std::filesystem::temp_directory_path() / "examo_cfiledlg_test";
    std::filesystem::create_directories(folder);
    const auto empty = folder / "empty.bmp";
    std::ofstream(empty).close();
    EXPECT_TRUE(cFileDlg::ExistFile(empty.string()));
    EXPECT_FALSE(cFileDlg::ExistFile((folder / "missing.bmp").string()));
    EXPECT_FALSE(cFileDlg::ExistFile(folder.string()));
    std::filesystem::remove_all(folder);
}

} // namespace
