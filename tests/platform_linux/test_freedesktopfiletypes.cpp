#include "platform/linux/freedesktopfiletypes.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
        qputenv("HOME", (home + u"/home"_s).toUtf8());
        qputenv("XDG_DATA_HOME", (home + u"/data"_s).toUtf8());
        qputenv("XDG_CONFIG_HOME", (home + u"/config"_s).toUtf8());
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
        return examo::testing::runProgram(u"xdg-mime"_s, QStringList{u"query"_s} + arguments)
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
    QFile quiz(dir.filePath(u"Quiz.EXM"_s));
    ASSERT_TRUE(quiz.open(QIODevice::WriteOnly) && quiz.write("\x1f\x8b\x00\xff\x10", 5) == 5);
    quiz.close();
    EXPECT_EQ(xdgMime({u"filetype"_s, quiz.fileName()}), u"application/x-examome"_s);
    EXPECT_EQ(xdgMime({u"default"_s, u"application/x-examome"_s}), u"examome.desktop"_s);
    const QStringList entry = read("data/applications/examome.desktop").split(u'\n');
    EXPECT_TRUE(entry.contains(u"Exec=/opt/examo/ExamoMe %f"_s));
    EXPECT_TRUE(entry.contains(u"MimeType=application/x-examome;"_s));
    EXPECT_TRUE(
        read("data/mime/packages/examome.xml").contains(u"<comment>ExamoMe File</comment>"_s));
    QFile icon(entry.filter(u"Icon="_s).value(0).mid(5)), svg(u":/icons/examome.svg"_s);
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(icon.readAll(), svg.readAll());
}

TEST_F(FreedesktopFileTypesTest, WithoutDesktopToolsTheFilesAreStillWrittenUnlessUnwritable) {
    qputenv("PATH", dir.filePath(u"no-tools"_s).toUtf8());
    QDir().mkpath(dir.filePath(u"config"_s));
    QFile list(dir.filePath(u"config/mimeapps.list"_s));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(
        "[Default Applications]\ntext/plain=editor.desktop\napplication/x-examome=old.desktop\n\n"
        "[Added Associations]\nimage/png=viewer.desktop;\n");
    list.close();
    EXPECT_TRUE(registerProgram("/opt/first/ExamoMe"));
    EXPECT_TRUE(registerProgram("/opt/second copy/ExamoMe.exe")); // a second copy takes over
    const QStringList lines = read("config/mimeapps.list").split(u'\n');
    EXPECT_EQ(lines.filter(u"application/x-examome="_s),
              QStringList{u"application/x-examome=examome.desktop"_s});
    EXPECT_GT(lines.indexOf(u"application/x-examome=examome.desktop"_s),
              lines.indexOf(u"[Default Applications]"_s));
    EXPECT_TRUE(lines.contains(u"image/png=viewer.desktop;"_s) &&
                lines.contains(u"text/plain=editor.desktop"_s));
    EXPECT_TRUE(read("data/applications/examome.desktop")
                    .contains(u"Exec=\"/opt/second copy/ExamoMe\" %f"_s));

    // A folder below a regular file cannot be made, not even by root: only the writes fail.
    useHome(dir.filePath(u"config/mimeapps.list"_s));
    EXPECT_FALSE(registerProgram("/opt/examo/ExamoMe"));
}
