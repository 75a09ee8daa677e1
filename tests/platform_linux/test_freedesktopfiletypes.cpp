#include "platform/linux/freedesktopfiletypes.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

// The four writes the player makes at every start, with the values it builds here.
bool registerProgram(const std::string& program) {
    FreedesktopFileTypes registry;
    const bool classWritten =
        registry.setValue("ExamoMe", "", "ExamoMe File") &&
        registry.setValue("ExamoMe", "shell\\open\\command", program + " %1") &&
        registry.setValue("ExamoMe", "DefaultIcon", program);
    return registry.setValue(".exm", "", "ExamoMe") && classWritten;
}

} // namespace

// Without the desktop tools their steps fail, which is ignored: the files are what counts.
TEST(FreedesktopFileTypes, WithoutDesktopToolsTheFilesAreStillWrittenUnlessUnwritable) {
    const QTemporaryDir dir;
    QList<std::pair<const char*, QByteArray>> saved;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "PATH"})
        saved.append({name, qgetenv(name)});
    const auto restore = qScopeGuard([&saved] {
        for (const auto& [name, value] : saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    });
    useHome(dir.path());
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
    const QStringList lines = read(dir.filePath(u"config/mimeapps.list"_s)).split(u'\n');
    EXPECT_EQ(lines.filter(u"application/x-examome="_s),
              QStringList{u"application/x-examome=examome.desktop"_s});
    EXPECT_GT(lines.indexOf(u"application/x-examome=examome.desktop"_s),
              lines.indexOf(u"[Default Applications]"_s));
    EXPECT_TRUE(lines.contains(u"image/png=viewer.desktop;"_s) &&
                lines.contains(u"text/plain=editor.desktop"_s));
    const QStringList entry =
        read(dir.filePath(u"data/applications/examome.desktop"_s)).split(u'\n');
    EXPECT_TRUE(entry.contains(u"Exec=\"/opt/second copy/ExamoMe\" %f"_s));
    EXPECT_TRUE(entry.contains(u"MimeType=application/x-examome;"_s));
    const auto valid =
        examo::testing::runProgram(u"/usr/bin/desktop-file-validate"_s,
                                   {dir.filePath(u"data/applications/examome.desktop"_s)});
    EXPECT_TRUE(valid.ok) << valid.output.toStdString() << valid.errors.toStdString();
    EXPECT_TRUE(read(dir.filePath(u"data/mime/packages/examome.xml"_s))
                    .contains(u"<comment>ExamoMe File</comment>"_s));
    QFile icon(entry.filter(u"Icon="_s).value(0).mid(5)), svg(u":/icons/examome.svg"_s);
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(icon.readAll(), svg.readAll());
    // A folder below a regular file cannot be made, not even by root: only the writes fail.
    useHome(dir.filePath(u"config/mimeapps.list"_s));
    EXPECT_FALSE(registerProgram("/opt/examo/ExamoMe"));
}
