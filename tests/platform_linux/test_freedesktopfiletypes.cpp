#include "platform/linux/freedesktopfiletypes.h"

#include "support/tools.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <thread>

using namespace Qt::StringLiterals;
using examo::FreedesktopFileTypes;

TEST(FreedesktopCommandTest, TheProgramIsQuotedOnlyWhereNeeded) {
    for (const auto& [program, field] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/opt/x-1.2/Examo_Me", "/opt/x-1.2/Examo_Me"},
             {"/opt/a\"b/$c`d\\e f/ExamoMe", "\"/opt/a\\\"b/\\$c\\`d\\\\e f/ExamoMe\""},
             {"/opt/100%/ExamoMe", "/opt/100%%/ExamoMe"}})
        EXPECT_EQ(FreedesktopFileTypes::execProgramField(QString::fromUtf8(program)),
                  QString::fromUtf8(field));
}

namespace {

void useHome(const QString& home) {
    qputenv("HOME", (home + u"/home"_s).toUtf8());
    qputenv("XDG_DATA_HOME", (home + u"/data"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + u"/config"_s).toUtf8());
}

QString read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool write(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The four writes the player makes at every start, with the values it builds here.
bool setValues(FreedesktopFileTypes& registry, const std::string& program) {
    const bool classWritten =
        registry.setValue("ExamoMe", "", "ExamoMe File") &&
        registry.setValue("ExamoMe", "shell\\open\\command", program + " %1") &&
        registry.setValue("ExamoMe", "DefaultIcon", program);
    return registry.setValue(".exm", "", "ExamoMe") && classWritten;
}

bool registerProgram(const std::string& program) {
    FreedesktopFileTypes registry;
    return setValues(registry, program) && registry.finish();
}

// The user's folders in a temporary one, for the length of a test.
class TemporaryHome {
public:
    TemporaryHome() {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS",
                                 "PATH", "XDG_CURRENT_DESKTOP"})
            saved_.append({name, qgetenv(name)});
        qunsetenv("XDG_CURRENT_DESKTOP");
        useHome(dir_.path());
    }
    ~TemporaryHome() {
        for (const auto& [name, value] : saved_)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString path(const QString& below) const { return dir_.filePath(below); }

    // Every file below the home, as (inode, modification time): a file replaced or
    // touched shows.
    std::map<QString, std::pair<ino_t, std::int64_t>> files() const {
        std::map<QString, std::pair<ino_t, std::int64_t>> found;
        QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            struct stat info {};
            if (::stat(QFile::encodeName(file).constData(), &info) == 0)
                found[file] = {info.st_ino, std::int64_t(info.st_mtim.tv_sec) * 1000000000 +
                                                info.st_mtim.tv_nsec};
        }
        return found;
    }

private:
    QTemporaryDir dir_;
    QList<std::pair<const char*, QByteArray>> saved_;
};

// The desktop tools asked for, by name, and the threads they were asked on. As if none
// were installed, so that the files written are all this registry's own.
struct ToolCalls {
    QStringList tools;
    std::vector<std::thread::id> threads;

    FreedesktopFileTypes::ToolRunner runner() {
        return [this](const QString& tool, const QStringList&) {
            tools << tool;
            threads.push_back(std::this_thread::get_id());
            return false;
        };
    }
};

} // namespace

// Without the desktop tools their steps fail, which is ignored: the files are what counts.
TEST(FreedesktopFileTypes, WithoutDesktopToolsTheFilesAreStillWrittenUnlessUnwritable) {
    const TemporaryHome home;
    qputenv("PATH", home.path(u"no-tools"_s).toUtf8());
    ASSERT_TRUE(write(
        home.path(u"config/mimeapps.list"_s),
        "[Default Applications]\ntext/plain=editor.desktop\napplication/x-examome=old.desktop\n\n"
        "[Added Associations]\nimage/png=viewer.desktop;\n"));
    EXPECT_TRUE(registerProgram("/opt/first/ExamoMe"));
    EXPECT_TRUE(registerProgram("/opt/second copy/ExamoMe.exe")); // a second copy takes over
    const QStringList lines = read(home.path(u"config/mimeapps.list"_s)).split(u'\n');
    EXPECT_EQ(lines.filter(u"application/x-examome="_s),
              QStringList{u"application/x-examome=examome.desktop"_s});
    EXPECT_GT(lines.indexOf(u"application/x-examome=examome.desktop"_s),
              lines.indexOf(u"[Default Applications]"_s));
    EXPECT_TRUE(lines.contains(u"image/png=viewer.desktop;"_s) &&
                lines.contains(u"text/plain=editor.desktop"_s));
    const QStringList entry = read(home.path(u"data/applications/examome.desktop"_s)).split(u'\n');
    EXPECT_TRUE(entry.contains(u"Exec=\"/opt/second copy/ExamoMe\" %f"_s));
    EXPECT_TRUE(entry.contains(u"MimeType=application/x-examome;"_s));
    const auto valid = examo::testing::runProgram(
        u"/usr/bin/desktop-file-validate"_s, {home.path(u"data/applications/examome.desktop"_s)});
    EXPECT_TRUE(valid.ok) << valid.output.toStdString() << valid.errors.toStdString();
    EXPECT_TRUE(read(home.path(u"data/mime/packages/examome.xml"_s))
                    .contains(u"<comment>ExamoMe File</comment>"_s));
    QFile icon(entry.filter(u"Icon="_s).value(0).mid(5)), svg(u":/icons/examome.svg"_s);
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(icon.readAll(), svg.readAll());
    // A folder below a regular file cannot be made, not even by root: only the writes fail.
    useHome(home.path(u"config/mimeapps.list"_s));
    EXPECT_FALSE(registerProgram("/opt/examo/ExamoMe"));
}

// A start with everything in place runs no tool and touches no file; one part changed by
// hand brings back that part alone, with the one tool that reads it.
TEST(FreedesktopFileTypes, ASecondRegistrationRedoesOnlyWhatDiffers) {
    struct Case {
        const char* change;
        std::function<void(const TemporaryHome&)> make;
        QStringList tools;
        QString rewritten; // below the home; empty for none
    };
    const std::vector<Case> cases{
        {"nothing", [](const TemporaryHome&) {}, {}, {}},
        {"icon removed",
         [](const TemporaryHome& h) {
             QFile::remove(h.path(u"data/icons/hicolor/scalable/apps/examome.svg"_s));
         },
         {},
         u"data/icons/hicolor/scalable/apps/examome.svg"_s},
        {"MIME package edited",
         [](const TemporaryHome& h) {
             write(h.path(u"data/mime/packages/examome.xml"_s), "<mime-info/>");
         },
         {u"update-mime-database"_s},
         u"data/mime/packages/examome.xml"_s},
        {"desktop entry removed",
         [](const TemporaryHome& h) {
             QFile::remove(h.path(u"data/applications/examome.desktop"_s));
         },
         {u"update-desktop-database"_s},
         u"data/applications/examome.desktop"_s},
        {"default taken by another program",
         [](const TemporaryHome& h) {
             write(h.path(u"config/mimeapps.list"_s),
                   "[Default Applications]\napplication/x-examome=other.desktop\n");
         },
         {u"xdg-mime"_s},
         u"config/mimeapps.list"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        const TemporaryHome home;
        qputenv("PATH", home.path(u"no-tools"_s).toUtf8());
        ToolCalls first;
        FreedesktopFileTypes firstStart(first.runner());
        ASSERT_TRUE(setValues(firstStart, "/opt/examo/ExamoMe") && firstStart.finish());
        EXPECT_EQ(first.tools, QStringList({u"update-mime-database"_s, u"update-desktop-database"_s,
                                            u"xdg-mime"_s}));
        c.make(home);
        auto before = home.files();
        ToolCalls second;
        FreedesktopFileTypes secondStart(second.runner());
        ASSERT_TRUE(setValues(secondStart, "/opt/examo/ExamoMe") && secondStart.finish());
        EXPECT_EQ(second.tools, c.tools);
        auto after = home.files();
        if (!c.rewritten.isEmpty()) {
            const QString rewritten = home.path(c.rewritten);
            EXPECT_NE(before[rewritten], after[rewritten]);
            EXPECT_EQ(after.count(rewritten), 1u);
            before.erase(rewritten);
            after.erase(rewritten);
        }
        EXPECT_EQ(before, after);
    }
}

// With the package installed, the system knows the type and starts this program for it: the
// user's folders get nothing, unless the user gave quizzes to another program.
TEST(FreedesktopFileTypes, WhatAPackageInstalledForEveryoneIsNotWrittenAgainForTheUser) {
    const TemporaryHome home;
    qputenv("PATH", home.path(u"bin"_s).toUtf8());
    const QString program = home.path(u"bin/ExamoMe"_s);
    ASSERT_TRUE(write(program, "#!/bin/sh\n"));
    QFile::setPermissions(program, QFile::ExeOwner | QFile::ReadOwner);
    const QString system = home.path(u"system"_s);
    qputenv("XDG_DATA_DIRS", (home.path(u"elsewhere"_s) + u":"_s + system).toUtf8());
    const auto install = [&](const QByteArray& exec) {
        write(system + u"/mime/packages/examome.xml"_s, "<glob pattern=\"*.exm\"/>");
        write(system + u"/applications/examome.desktop"_s,
              "[Desktop Entry]\nName=ExamoMe\nExec=" + exec + " %f\n");
    };
    struct Case {
        const char* installed;
        QByteArray exec, userDefault;
        QStringList tools;
    };
    const std::vector<Case> cases{
        {"by the program's name", "ExamoMe", {}, {}},
        {"by the program's path", program.toUtf8(), {}, {}},
        {"with quizzes given to another program", "ExamoMe", "other.desktop", {u"xdg-mime"_s}},
        {"for another program",
         "/opt/other/ExamoMe",
         {},
         {u"update-mime-database"_s, u"update-desktop-database"_s, u"xdg-mime"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed);
        install(c.exec);
        QDir(home.path(u"data"_s)).removeRecursively();
        QFile::remove(home.path(u"config/mimeapps.list"_s));
        if (!c.userDefault.isEmpty())
            write(home.path(u"config/mimeapps.list"_s),
                  "[Default Applications]\napplication/x-examome=" + c.userDefault + "\n");
        ToolCalls calls;
        FreedesktopFileTypes registry(calls.runner());
        ASSERT_TRUE(setValues(registry, program.toStdString()) && registry.finish());
        EXPECT_EQ(calls.tools, c.tools);
        EXPECT_EQ(QDir(home.path(u"data"_s)).exists(), c.tools.size() == 3);
    }
}

// Nothing is written while the program starts: the work begins on a thread of its own
// once the event loop runs, and a program ended before that still completes it.
TEST(FreedesktopFileTypes, TheWritesWaitForTheEventLoopAndAreNeverLost) {
    const TemporaryHome home;
    qputenv("PATH", home.path(u"no-tools"_s).toUtf8());
    const QString entry = home.path(u"data/applications/examome.desktop"_s);
    ToolCalls endedAtOnce;
    {
        FreedesktopFileTypes registry(endedAtOnce.runner());
        ASSERT_TRUE(setValues(registry, "/opt/examo/ExamoMe"));
        EXPECT_FALSE(QFileInfo::exists(entry));
        EXPECT_TRUE(endedAtOnce.tools.isEmpty());
    }
    EXPECT_TRUE(QFileInfo::exists(entry));
    EXPECT_EQ(endedAtOnce.tools.size(), 3);

    ASSERT_TRUE(QFile::remove(entry));
    ToolCalls running;
    FreedesktopFileTypes registry(running.runner());
    ASSERT_TRUE(setValues(registry, "/opt/examo/ExamoMe"));
    EXPECT_FALSE(QFileInfo::exists(entry));
    QCoreApplication::processEvents(); // the queued start
    EXPECT_TRUE(registry.finish());
    EXPECT_TRUE(QFileInfo::exists(entry));
    ASSERT_EQ(running.tools, QStringList{u"update-desktop-database"_s});
    EXPECT_NE(running.threads.front(), std::this_thread::get_id());
}
