#include "platform/linux/freedesktopfiletypes.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using examo::FreedesktopFileTypes;

// The program of the open command comes into the other tests' desktop entries.
TEST(FreedesktopCommandTest, TheProgramIsQuotedOnlyWhereNeeded) {
    for (const auto& [program, field] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/opt/x-1.2/Examo_Me", "/opt/x-1.2/Examo_Me"},
             {"/opt/a\"b/$c`d\\e f/ExamoMe", "\"/opt/a\\\"b/\\$c\\`d\\\\e f/ExamoMe\""},
             {"/opt/it's/ExamoMe", "\"/opt/it's/ExamoMe\""},
             {"/opt/100%/ExamoMe", "/opt/100%%/ExamoMe"}})
        EXPECT_EQ(FreedesktopFileTypes::execProgramField(QString::fromUtf8(program)),
                  QString::fromUtf8(field));
}

namespace {

// A home of its own, and the generic desktop: a desktop session would send xdg-mime to its tools.
class FreedesktopFileTypesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QByteArray& name : kChanged)
            saved.push_back(qgetenv(name.constData()));
        for (const QByteArray& name : kChanged.mid(4))
            qunsetenv(name.constData());
        useHome(dir.path());
    }
    void TearDown() override {
        for (qsizetype i = 0; i < kChanged.size(); ++i)
            saved[i].isNull() ? qunsetenv(kChanged[i].constData())
                              : qputenv(kChanged[i].constData(), saved[i]);
    }
    void useHome(const QString& home) {
        qputenv("HOME", (home + QStringLiteral("/home")).toUtf8());
        qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toUtf8());
    }
    QString read(const char* name) const {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // The four writes the player makes at every start, with the values it builds here.
    static bool registerProgram(const std::string& program) {
        FreedesktopFileTypes registry;
        const bool classWritten =
            registry.setValue("ExamoMe", "", "ExamoMe File") &&
            registry.setValue("ExamoMe", "shell\\open\\command", program + " %1") &&
            registry.setValue("ExamoMe", "DefaultIcon", program);
        return registry.setValue(".exm", "", "ExamoMe") && classWritten;
    }
    static QString xdgMime(const QStringList& arguments) {
        return examo::testing::runProgram(QStringLiteral("xdg-mime"),
                                          QStringList{QStringLiteral("query")} + arguments)
            .output.trimmed();
    }

    // The home, the tools, and the desktop session's variables.
    const QList<QByteArray> kChanged =
        QByteArray(
            "HOME XDG_DATA_HOME XDG_CONFIG_HOME PATH XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP "
            "DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID "
            "MATE_DESKTOP_SESSION_ID DE")
            .split(' ');
    QTemporaryDir dir;
    QList<QByteArray> saved;
};

} // namespace

TEST_F(FreedesktopFileTypesTest, QuizFilesBelongToTheProgramWithItsIcon) {
    for (const char* tool : {"xdg-mime", "update-mime-database"})
        if (QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    ASSERT_TRUE(registerProgram("/opt/examo/ExamoMe"));
    // A quiz is told by its name, whatever its bytes look like.
    QFile quiz(dir.filePath(QStringLiteral("Quiz.EXM")));
    ASSERT_TRUE(quiz.open(QIODevice::WriteOnly) && quiz.write("\x1f\x8b\x00\xff\x10", 5) == 5);
    quiz.close();
    EXPECT_EQ(xdgMime({QStringLiteral("filetype"), quiz.fileName()}),
              QStringLiteral("application/x-examome"));
    EXPECT_EQ(xdgMime({QStringLiteral("default"), QStringLiteral("application/x-examome")}),
              QStringLiteral("examome.desktop"));
    const QStringList entry = read("data/applications/examome.desktop").split(u'\n');
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=/opt/examo/ExamoMe %f")));
    EXPECT_TRUE(entry.contains(QStringLiteral("MimeType=application/x-examome;")));
    EXPECT_TRUE(read("data/mime/packages/examome.xml")
                    .contains(QStringLiteral("<comment>ExamoMe File</comment>")));
    QFile icon(entry.filter(QStringLiteral("Icon=")).value(0).mid(5)),
        svg(QStringLiteral(":/icons/examome.svg"));
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(icon.readAll(), svg.readAll());
}

TEST_F(FreedesktopFileTypesTest, WithoutDesktopToolsTheFilesAreStillWritten) {
    qputenv("PATH", dir.filePath(QStringLiteral("no-tools")).toUtf8());
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    QFile list(dir.filePath(QStringLiteral("config/mimeapps.list")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(
        "[Default Applications]\ntext/plain=editor.desktop\napplication/x-examome=old.desktop\n\n"
        "[Added Associations]\nimage/png=viewer.desktop;\n");
    list.close();
    EXPECT_TRUE(registerProgram("/opt/first/ExamoMe"));
    EXPECT_TRUE(registerProgram("/opt/second copy/ExamoMe.exe")); // a second copy takes over
    const QStringList lines = read("config/mimeapps.list").split(u'\n');
    EXPECT_EQ(lines.filter(QStringLiteral("application/x-examome=")),
              QStringList{QStringLiteral("application/x-examome=examome.desktop")});
    EXPECT_GT(lines.indexOf(QStringLiteral("application/x-examome=examome.desktop")),
              lines.indexOf(QStringLiteral("[Default Applications]")));
    EXPECT_TRUE(lines.contains(QStringLiteral("image/png=viewer.desktop;")) &&
                lines.contains(QStringLiteral("text/plain=editor.desktop")));
    EXPECT_TRUE(read("data/applications/examome.desktop")
                    .contains(QStringLiteral("Exec=\"/opt/second copy/ExamoMe\" %f")));
}

TEST_F(FreedesktopFileTypesTest, AnUnwritablePlaceOnlyFailsTheWrites) {
    // A folder below a regular file cannot be made, not even by root.
    QFile(dir.filePath(QStringLiteral("blocked"))).open(QIODevice::WriteOnly);
    useHome(dir.filePath(QStringLiteral("blocked")));
    EXPECT_FALSE(registerProgram("/opt/examo/ExamoMe"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("blocked/data"))));
}
