#include "platform/linux/freedesktopfiletypes.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

using examo::FreedesktopFileTypes;

namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class EnvironmentOverride {
public:
    EnvironmentOverride() = default;
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;
    ~EnvironmentOverride() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            it->second ? qputenv(it->first, *it->second) : qunsetenv(it->first);
    }
    void set(const char* name, const std::optional<QString>& value) {
        m_saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                       ? std::optional<QByteArray>(qgetenv(name))
                                       : std::nullopt);
        value ? qputenv(name, value->toUtf8()) : qunsetenv(name);
    }

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

// Runs an installed tool; not ok when it is missing or fails.
examo::testing::ProgramRun runTool(const char* name, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QString::fromUtf8(name));
    return program.isEmpty() ? examo::testing::ProgramRun{}
                             : examo::testing::runProgram(program, arguments);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QStringList linesOf(const QString& path) {
    return QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'));
}

class FreedesktopFileTypesTest : public ::testing::Test {
protected:
    void SetUp() override {
        useHome(dir.path());
        // The generic desktop: a desktop session would send xdg-mime to its own tools.
        for (const char* name :
             {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
              "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "DE"})
            environment.set(name, std::nullopt);
    }
    void useHome(const QString& home) {
        environment.set("HOME", home + QStringLiteral("/home"));
        environment.set("XDG_DATA_HOME", home + QStringLiteral("/data"));
        environment.set("XDG_CONFIG_HOME", home + QStringLiteral("/config"));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString desktopFile() const {
        return path(QStringLiteral("data/applications/examome.desktop"));
    }
    QString mimeAppsList() const { return path(QStringLiteral("config/mimeapps.list")); }
    QString defaultApplication() const {
        return runTool("xdg-mime", {QStringLiteral("query"), QStringLiteral("default"),
                                    QStringLiteral("application/x-examome")})
            .output.trimmed();
    }

    // The four writes the player makes at every start, with the values it builds here.
    static std::vector<bool> registerProgram(const std::string& program) {
        FreedesktopFileTypes registry;
        return {registry.setValue("ExamoMe", "", "ExamoMe File"),
                registry.setValue("ExamoMe", "shell\\open\\command", program + " %1"),
                registry.setValue("ExamoMe", "DefaultIcon", program),
                registry.setValue(".exm", "", "ExamoMe")};
    }
    static void requireTool(const char* name) {
        if (QStandardPaths::findExecutable(QString::fromUtf8(name)).isEmpty())
            GTEST_SKIP() << name << " is not installed";
    }

    QTemporaryDir dir;
    EnvironmentOverride environment;
};

} // namespace

TEST(FreedesktopCommandTest, TheProgramComesFromTheCommandAndIsQuotedOnlyWhereNeeded) {
    const std::pair<const char*, const char*> commands[] = {
        {"/opt/x/ExamoMe.EXE %1", "/opt/x/ExamoMe"},
        // The command puts no quotes around the path, so blanks belong to the path.
        {"/home/ann/my quizzes/ExamoMe %1", "/home/ann/my quizzes/ExamoMe"},
        {"\"/opt/x y/ExamoMe.exe\" %1", "/opt/x y/ExamoMe"},
        {"/opt/x/ExamoMe", "/opt/x/ExamoMe"},
    };
    for (const auto& [command, program] : commands)
        EXPECT_EQ(FreedesktopFileTypes::programOfCommand(QString::fromUtf8(command)),
                  QString::fromUtf8(program))
            << command;
    const std::pair<const char*, const char*> programs[] = {
        {"/opt/x-1.2/Examo_Me", "/opt/x-1.2/Examo_Me"},
        {"/opt/my quizzes/ExamoMe", "\"/opt/my quizzes/ExamoMe\""},
        {"/opt/a\"b/$c`d\\e/ExamoMe", "\"/opt/a\\\"b/\\$c\\`d\\\\e/ExamoMe\""},
        {"/opt/it's/ExamoMe", "\"/opt/it's/ExamoMe\""},
        {"/opt/100%/ExamoMe", "/opt/100%%/ExamoMe"},
    };
    for (const auto& [program, field] : programs)
        EXPECT_EQ(FreedesktopFileTypes::execProgramField(QString::fromUtf8(program)),
                  QString::fromUtf8(field))
            << program;
}

TEST_F(FreedesktopFileTypesTest, QuizFilesBelongToTheProgramWithAValidEntry) {
    requireTool("xdg-mime");
    requireTool("update-mime-database");
    requireTool("desktop-file-validate");
    for (const bool written : registerProgram("/opt/examo/ExamoMe"))
        EXPECT_TRUE(written);
    // Both an empty quiz and one whose bytes look like nothing else are told by their name.
    writeFile(path(QStringLiteral("empty.exm")), {});
    writeFile(path(QStringLiteral("Quiz.EXM")), QByteArray("\x1f\x8b\x00\xff\x10", 5));
    for (const char* quiz : {"empty.exm", "Quiz.EXM"})
        EXPECT_EQ(runTool("xdg-mime", {QStringLiteral("query"), QStringLiteral("filetype"),
                                       path(QString::fromUtf8(quiz))})
                      .output.trimmed(),
                  QStringLiteral("application/x-examome"))
            << quiz;
    EXPECT_EQ(defaultApplication(), QStringLiteral("examome.desktop"));
    const QStringList entry = linesOf(desktopFile());
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=/opt/examo/ExamoMe %f")));
    EXPECT_TRUE(entry.contains(QStringLiteral("MimeType=application/x-examome;")));
    EXPECT_TRUE(readFile(path(QStringLiteral("data/mime/packages/examome.xml")))
                    .contains("<comment>ExamoMe File</comment>"));
    const QString icon = entry.filter(QStringLiteral("Icon=")).value(0).mid(5);
    EXPECT_EQ(readFile(icon), readFile(QStringLiteral(":/icons/examome.svg")));
    EXPECT_FALSE(readFile(icon).isEmpty());

    registerProgram("/home/ann/my quizzes $HOME 'x' \"y\" 100% a\\b/ExamoMe");
    const auto validation =
        runTool("desktop-file-validate", {QStringLiteral("--no-hints"), desktopFile()});
    EXPECT_TRUE(validation.ok && !validation.output.contains(QStringLiteral("error")))
        << validation.output.toStdString();
}

TEST_F(FreedesktopFileTypesTest, OpeningAQuizStartsTheProgramWithItsPath) {
    requireTool("gio");
    // A folder name that needs every kind of quoting the Exec key knows. No "%": GLib looks
    // for the program before it undoes the "%%" that the key demands, and fails.
    const QString program = path(QStringLiteral("my quizzes $HOME 'x' \"y\" a\\b/ExamoMe"));
    const QByteArray marker = path(QStringLiteral("marker")).toUtf8();
    writeFile(program, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + marker +
                           ".tmp'\nmv '" + marker + ".tmp' '" + marker + "'\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    const QString quiz = path(QStringLiteral("first quiz.exm"));
    writeFile(quiz, {});
    registerProgram(program.toStdString());
    const auto launch = runTool("gio", {QStringLiteral("launch"), desktopFile(), quiz});
    ASSERT_TRUE(launch.ok) << launch.errors.toStdString();
    for (int i = 0; i < 500 && !QFileInfo::exists(QString::fromUtf8(marker)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(QString::fromUtf8(readFile(QString::fromUtf8(marker))), quiz + QLatin1Char('\n'));
}

TEST_F(FreedesktopFileTypesTest, WithoutDesktopToolsTheDefaultIsWrittenDirectly) {
    const QByteArray before = "[Default Applications]\ntext/plain=editor.desktop\n"
                              "application/x-examome=old.desktop\n\n"
                              "[Added Associations]\nimage/png=viewer.desktop;\n";
    for (const bool listBefore : {false, true}) {
        SCOPED_TRACE(listBefore);
        QFile::remove(mimeAppsList());
        if (listBefore)
            writeFile(mimeAppsList(), before);
        {
            EnvironmentOverride noTools;
            noTools.set("PATH", path(QStringLiteral("no-tools")));
            registerProgram("/opt/first/ExamoMe");
            // A second copy takes the association over.
            for (const bool written : registerProgram("/opt/second copy/ExamoMe.exe"))
                EXPECT_TRUE(written);
        }
        const QStringList lines = linesOf(mimeAppsList());
        const qsizetype at = lines.indexOf(QStringLiteral("application/x-examome=examome.desktop"));
        EXPECT_EQ(lines.count(QStringLiteral("application/x-examome=examome.desktop")), 1);
        EXPECT_GT(at, lines.indexOf(QStringLiteral("[Default Applications]")));
        EXPECT_EQ(lines.filter(QStringLiteral("application/x-examome=")).size(), 1);
        EXPECT_EQ(lines.contains(QStringLiteral("image/png=viewer.desktop;")), listBefore);
        EXPECT_EQ(lines.contains(QStringLiteral("text/plain=editor.desktop")), listBefore);
        EXPECT_TRUE(linesOf(desktopFile())
                        .contains(QStringLiteral("Exec=\"/opt/second copy/ExamoMe\" %f")));
        if (!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
            EXPECT_EQ(defaultApplication(), QStringLiteral("examome.desktop"));
        }
    }
}

TEST_F(FreedesktopFileTypesTest, AnUnwritablePlaceOnlyFailsTheWrites) {
    // A folder below a regular file cannot be made, not even by root.
    writeFile(path(QStringLiteral("blocked")), "not a folder");
    useHome(path(QStringLiteral("blocked")));
    EXPECT_FALSE(registerProgram("/opt/examo/ExamoMe").back());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("blocked/data"))));
}
