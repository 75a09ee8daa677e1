#include "platform/linux/linuxshell.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using examo::DesktopTool;
using examo::LinuxShell;

namespace {

class LinuxShellTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    static void write(const QString& file, const QByteArray& content) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }

    static QByteArray read(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    int copy(const QString& from, const QString& to) {
        // The callers end each path with two NULs.
        return LinuxShell().fileOperation({0, examo::kFileOperationCopy,
                                           from.toStdString() + '\0' + '\0',
                                           to.toStdString() + '\0' + '\0', 0});
    }

    // A stand-in program that leaves its working folder and arguments in a marker file.
    std::string fakeProgram() const {
        const QByteArray marker = path("marker").toUtf8();
        write(path("fake"), "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                                marker + ".tmp'\nmv '" + marker + ".tmp' '" + marker + "'\n");
        QFile::setPermissions(path("fake"), QFile::ReadOwner | QFile::ExeOwner);
        return path("fake").toStdString();
    }

    QByteArray waitForMarker() const {
        for (int i = 0; i < 500 && !QFileInfo::exists(path("marker")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return read(path("marker"));
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(LinuxShellTest, CopyReplacesTheTargetOrReportsAnError) {
    write(path("source.exm"), "new");
    write(path("target.exm"), "older and longer");
    EXPECT_EQ(copy(path("source.exm"), path("target.exm")), 0);
    EXPECT_EQ(read(path("target.exm")), "new");

    EXPECT_NE(copy(path("missing.exm"), path("other.exm")), 0);
    EXPECT_FALSE(QFileInfo::exists(path("other.exm")));
    EXPECT_NE(copy(path("source.exm"), dir.path()), 0);
}

TEST_F(LinuxShellTest, ToolsStartTheFirstInstalledProgramInTheFolder) {
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    LinuxShell shell({{"examo-no-such-editor"}, {}, {}, {"examo-no-such-manager", fakeProgram()}});
    EXPECT_FALSE(shell.startTool(DesktopTool::TextEditor, folder.toStdString()));
    EXPECT_FALSE(shell.startTool(DesktopTool::SoundRecorder, folder.toStdString()));
    ASSERT_TRUE(shell.startTool(DesktopTool::FileManager, folder.toStdString()));
    // The file manager is also told which folder to show.
    EXPECT_EQ(waitForMarker(), (folder + QLatin1Char('\n') + folder + QLatin1Char('\n')).toUtf8());
}

TEST(LinuxShell, SpecialFoldersAreUsableOrEmpty) {
    LinuxShell shell;
    EXPECT_TRUE(QFileInfo(QString::fromStdString(shell.specialFolder(5))).isDir());
    EXPECT_EQ(shell.specialFolder(42), "");
}
