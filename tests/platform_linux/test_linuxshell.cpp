#include "platform/linux/linuxshell.h"

#include "../storage/test_support.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using examo::LinuxShell;

namespace {

QByteArray read(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool write(const QString& file, const QByteArray& content) {
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(content) == content.size();
}

} // namespace

TEST(LinuxShell, CopiesReplaceTheTargetAndToolsStartTheFirstInstalledProgramInTheFolder) {
    const QTemporaryDir dir;
    const QString source = dir.filePath(u"source.exm"_s), target = dir.filePath(u"target.exm"_s);
    const auto copy = [](const QString& from, const QString& to) { // each path ends in two NULs
        return LinuxShell().fileOperation({0, examo::kFileOperationCopy,
                                           from.toStdString() + '\0' + '\0',
                                           to.toStdString() + '\0' + '\0', 0});
    };
    ASSERT_TRUE(write(source, "new") && write(target, "older and longer"));
    EXPECT_EQ(copy(source, target), 0);
    EXPECT_EQ(read(target), "new");
    EXPECT_NE(copy(dir.filePath(u"missing.exm"_s), dir.filePath(u"other.exm"_s)), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"other.exm"_s)));
    EXPECT_NE(copy(source, dir.path()), 0);

    // A copy cut short by a full disk (here: a file size limit) leaves neither a truncated
    // file nor a spoilt target.
    ASSERT_TRUE(write(source, QByteArray(64 * 1024, 'x')));
    ASSERT_TRUE(write(target, "kept"));
    int fresh = 0, replacing = 0;
    {
        examo::testing::FileSizeLimit limit(4096);
        fresh = copy(source, dir.filePath(u"fresh.exm"_s));
        replacing = copy(source, target);
    }
    EXPECT_NE(fresh, 0);
    EXPECT_NE(replacing, 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"fresh.exm"_s)));
    EXPECT_EQ(read(target), "kept");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no leftovers

    // A stand-in file manager that leaves its working folder and arguments beside itself.
    const QString fake = dir.filePath(u"fake"_s), marker = dir.filePath(u"marker"_s);
    ASSERT_TRUE(write(fake,
                      "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.tmp\"\n"
                      "mv \"$0.tmp\" \"${0%/*}/marker\"\n"));
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::ExeOwner);
    const std::string folder = QFileInfo(dir.path()).canonicalFilePath().toStdString();
    LinuxShell shell(
        {{"examo-no-such-editor"}, {}, {}, {"examo-no-such-manager", fake.toStdString()}});
    EXPECT_FALSE(shell.startTool(examo::DesktopTool::TextEditor, folder));
    EXPECT_FALSE(shell.startTool(examo::DesktopTool::SoundRecorder, folder));
    // What is installed for a role is known before anything is started.
    EXPECT_EQ(shell.toolFor(examo::DesktopTool::TextEditor), "");
    EXPECT_EQ(shell.suggestedTool(examo::DesktopTool::TextEditor), "examo-no-such-editor");
    EXPECT_EQ(shell.toolFor(examo::DesktopTool::FileManager), fake.toStdString());
    ASSERT_TRUE(shell.startTool(examo::DesktopTool::FileManager, folder));
    // The file manager is also told which folder to show.
    ASSERT_TRUE(examo::testing::waitFor([&] { return QFileInfo::exists(marker); }));
    EXPECT_EQ(read(marker).toStdString(), folder + '\n' + folder + '\n');
    EXPECT_TRUE(QFileInfo(QString::fromStdString(shell.specialFolder(5))).isDir());
    EXPECT_EQ(shell.specialFolder(42), "");
}
