#include "platform/linux/linuxshell.h"

#include "support/tools.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using examo::LinuxShell;

namespace {

QByteArray read(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void write(const QString& file, const QByteArray& content) {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
}

} // namespace

TEST(LinuxShell, CopyReplacesTheTargetOrReportsAnError) {
    const QTemporaryDir dir;
    const auto copy = [&dir](const char* from, const char* to) { // each path ends in two NULs
        return LinuxShell().fileOperation(
            {0, examo::kFileOperationCopy,
             dir.filePath(QString::fromUtf8(from)).toStdString() + '\0' + '\0',
             dir.filePath(QString::fromUtf8(to)).toStdString() + '\0' + '\0', 0});
    };
    write(dir.filePath(QStringLiteral("source.exm")), "new");
    write(dir.filePath(QStringLiteral("target.exm")), "older and longer");
    EXPECT_EQ(copy("source.exm", "target.exm"), 0);
    EXPECT_EQ(read(dir.filePath(QStringLiteral("target.exm"))), "new");
    EXPECT_NE(copy("missing.exm", "other.exm"), 0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("other.exm"))));
    EXPECT_NE(copy("source.exm", ""), 0); // onto the folder
}

TEST(LinuxShell, ToolsStartTheFirstInstalledProgramInTheFolder) {
    const QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    // A stand-in file manager that leaves its working folder and arguments in a marker file.
    const QString fake = dir.filePath(QStringLiteral("fake")),
                  marker = dir.filePath(QStringLiteral("marker"));
    write(fake, "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                    marker.toUtf8() + ".tmp'\nmv '" + marker.toUtf8() + ".tmp' '" +
                    marker.toUtf8() + "'\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::ExeOwner);
    LinuxShell shell(
        {{"examo-no-such-editor"}, {}, {}, {"examo-no-such-manager", fake.toStdString()}});
    EXPECT_FALSE(shell.startTool(examo::DesktopTool::TextEditor, folder.toStdString()));
    EXPECT_FALSE(shell.startTool(examo::DesktopTool::SoundRecorder, folder.toStdString()));
    ASSERT_TRUE(shell.startTool(examo::DesktopTool::FileManager, folder.toStdString()));
    ASSERT_TRUE(examo::testing::waitFor([&] { return QFileInfo::exists(marker); }));
    // The file manager is also told which folder to show.
    EXPECT_EQ(read(marker), (folder + u'\n' + folder + u'\n').toUtf8());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(shell.specialFolder(5))).isDir());
    EXPECT_EQ(shell.specialFolder(42), "");
}
