#include "platform/linux/freedesktopfiletypes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using examo::FreedesktopFileTypes;

namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class EnvironmentOverride {
public:
    EnvironmentOverride() = default;
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

    ~EnvironmentOverride() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    void set(const char* name, const QString& value) {
        save(name);
        qputenv(name, value.toUtf8());
    }

    void unset(const char* name) {
        save(name);
        qunsetenv(name);
    }

private:
    void save(const char* name) {
        saved_.emplace_back(QByteArray(name), qEnvironmentVariableIsSet(name)
                                                  ? std::optional<QByteArray>(qgetenv(name))
                                                  : std::nullopt);
    }

    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

struct ToolResult {
    bool ran = false;
    int exitCode = -1;
    QString output;
    QString errors;
};

ToolResult runTool(const QString& name, const QStringList& arguments) {
    ToolResult result;
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return result;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(30000))
        return result;
    result.ran = true;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    result.errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return result;
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

// The raw value of a key in a desktop entry or list file; empty when missing.
QString keyValue(const QString& path, const QString& key) {
    const QStringList lines = QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return {};
}

class FreedesktopFileTypesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        useHome(dir.path());
        // The generic desktop: a desktop session would send xdg-mime to its own tools.
        for (const char* name :
             {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
              "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "DE"})
            environment.unset(name);
    }

    void useHome(const QString& home) {
        environment.set("HOME", home + QStringLiteral("/home"));
        environment.set("XDG_DATA_HOME", home + QStringLiteral("/data"));
        environment.set("XDG_CONFIG_HOME", home + QStringLiteral("/config"));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString data(const QString& name) const { return path(QStringLiteral("data/") + name); }
    QString desktopFile() const { return data(QStringLiteral("applications/examome.desktop")); }
    QString mimeAppsList() const { return path(QStringLiteral("config/mimeapps.list")); }

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

TEST(FreedesktopCommandTest, TakesTheProgramFromTheOpenCommand) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/x/ExamoMe %1", "/opt/x/ExamoMe"},
        {"/opt/x/ExamoMe.exe %1", "/opt/x/ExamoMe"},
        {"/opt/x/ExamoMe.EXE %1", "/opt/x/ExamoMe"},
        // The command puts no quotes around the path, so blanks belong to the path.
        {"/home/ann/my quizzes/ExamoMe %1", "/home/ann/my quizzes/ExamoMe"},
        {"\"/opt/x y/ExamoMe.exe\" %1", "/opt/x y/ExamoMe"},
        {"/opt/x/ExamoMe", "/opt/x/ExamoMe"},
    };
    for (const auto& [command, program] : cases)
        EXPECT_EQ(FreedesktopFileTypes::programOfCommand(QString::fromUtf8(command)),
                  QString::fromUtf8(program))
            << command;
}

TEST(FreedesktopCommandTest, QuotesTheProgramOnlyWhereTheExecSyntaxNeedsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/x/ExamoMe", "/opt/x/ExamoMe"},
        {"/opt/x-1.2/Examo_Me", "/opt/x-1.2/Examo_Me"},
        {"/opt/my quizzes/ExamoMe", "\"/opt/my quizzes/ExamoMe\""},
        {"/opt/a\"b/$c`d\\e/ExamoMe", "\"/opt/a\\\"b/\\$c\\`d\\\\e/ExamoMe\""},
        {"/opt/it's/ExamoMe", "\"/opt/it's/ExamoMe\""},
        {"/opt/100%/ExamoMe", "/opt/100%%/ExamoMe"},
    };
    for (const auto& [program, field] : cases)
        EXPECT_EQ(FreedesktopFileTypes::execProgramField(QString::fromUtf8(program)),
                  QString::fromUtf8(field))
            << program;
}

TEST_F(FreedesktopFileTypesTest, QuizFilesBelongToTheProgram) {
    requireTool("xdg-mime");
    requireTool("update-mime-database");
    for (bool written : registerProgram("/opt/examo/ExamoMe"))
        EXPECT_TRUE(written);

    // Both an empty quiz and one whose bytes look like nothing else are told by their name.
    writeFile(path(QStringLiteral("empty.exm")), {});
    writeFile(path(QStringLiteral("Quiz.EXM")), QByteArray("\x1f\x8b\x00\xff\x10", 5));
    for (const char* quiz : {"empty.exm", "Quiz.EXM"}) {
        const ToolResult type = runTool(
            QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("filetype"), path(QString::fromUtf8(quiz))});
        EXPECT_EQ(type.output, QStringLiteral("application/x-examome")) << quiz;
    }
    const ToolResult application =
        runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/x-examome")});
    EXPECT_EQ(application.output, QStringLiteral("examome.desktop"));

    EXPECT_EQ(keyValue(desktopFile(), QStringLiteral("Exec")),
              QStringLiteral("/opt/examo/ExamoMe %f"));
    EXPECT_EQ(keyValue(desktopFile(), QStringLiteral("MimeType")),
              QStringLiteral("application/x-examome;"));
    const QString icon = keyValue(desktopFile(), QStringLiteral("Icon"));
    ASSERT_TRUE(QFileInfo(icon).isAbsolute()) << icon.toStdString();
    EXPECT_EQ(readFile(icon), readFile(QStringLiteral(":/icons/examome.svg")));
    EXPECT_FALSE(readFile(icon).isEmpty());

    const QByteArray package = readFile(data(QStringLiteral("mime/packages/examome.xml")));
    EXPECT_TRUE(package.contains("<comment>ExamoMe File</comment>")) << package.toStdString();
}

TEST_F(FreedesktopFileTypesTest, TheDesktopEntryIsValidEvenForAnAwkwardFolder) {
    requireTool("desktop-file-validate");
    for (const char* program :
         {"/opt/examo/ExamoMe", "/home/ann/my quizzes $HOME 'x' \"y\" 100% a\\b/ExamoMe"}) {
        registerProgram(program);
        const ToolResult validation = runTool(QStringLiteral("desktop-file-validate"),
                                              {QStringLiteral("--no-hints"), desktopFile()});
        ASSERT_TRUE(validation.ran);
        EXPECT_EQ(validation.exitCode, 0) << program;
        EXPECT_FALSE(validation.output.contains(QStringLiteral("error")))
            << validation.output.toStdString();
    }
}

TEST_F(FreedesktopFileTypesTest, OpeningAQuizStartsTheProgramWithItsPath) {
    requireTool("gio");
    // A folder name that needs every kind of quoting the Exec key knows. No "%": GLib looks
    // for the program before it undoes the "%%" that the key demands, and fails.
    const QString folder = path(QStringLiteral("my quizzes $HOME 'x' \"y\" a\\b"));
    const QString program = folder + QStringLiteral("/ExamoMe");
    const QString marker = path(QStringLiteral("marker"));
    writeFile(program, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + marker.toUtf8() +
                           ".tmp'\nmv '" + marker.toUtf8() + ".tmp' '" + marker.toUtf8() + "'\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    const QString quiz = path(QStringLiteral("first quiz.exm"));
    writeFile(quiz, {});

    registerProgram(program.toStdString());
    const ToolResult launch =
        runTool(QStringLiteral("gio"), {QStringLiteral("launch"), desktopFile(), quiz});
    ASSERT_EQ(launch.exitCode, 0) << launch.errors.toStdString();
    for (int i = 0; i < 500 && !QFileInfo::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(QString::fromUtf8(readFile(marker)), quiz + QLatin1Char('\n'));
}

TEST_F(FreedesktopFileTypesTest, ASecondCopyTakesTheAssociationOver) {
    registerProgram("/opt/first/ExamoMe");
    // The other form of the values, as built for a program file with an extension.
    registerProgram("/opt/second copy/ExamoMe.exe");

    EXPECT_EQ(keyValue(desktopFile(), QStringLiteral("Exec")),
              QStringLiteral("\"/opt/second copy/ExamoMe\" %f"));
    const QString list = QString::fromUtf8(readFile(mimeAppsList()));
    EXPECT_EQ(list.count(QStringLiteral("application/x-examome=")), 1) << list.toStdString();
    EXPECT_EQ(QDir(data(QStringLiteral("applications"))).entryList({QStringLiteral("*.desktop")}),
              QStringList{QStringLiteral("examome.desktop")});
}

TEST_F(FreedesktopFileTypesTest, WithoutDesktopToolsTheDefaultIsWrittenDirectly) {
    struct Case {
        const char* name;
        QByteArray before;
        QStringList keptLines;
    };
    const Case cases[] = {
        {"no list yet", {}, {}},
        {"other groups only",
         "[Added Associations]\ntext/plain=editor.desktop;\n",
         {QStringLiteral("[Added Associations]"), QStringLiteral("text/plain=editor.desktop;")}},
        {"an old default",
         "[Default Applications]\ntext/plain=editor.desktop\n"
         "application/x-examome=old.desktop\n\n[Added Associations]\nimage/png=viewer.desktop;\n",
         {QStringLiteral("text/plain=editor.desktop"), QStringLiteral("[Added Associations]"),
          QStringLiteral("image/png=viewer.desktop;")}},
        {"other defaults",
         "[Default Applications]\ntext/plain=editor.desktop\n\n[Added Associations]\n"
         "image/png=viewer.desktop;\n",
         {QStringLiteral("text/plain=editor.desktop"),
          QStringLiteral("image/png=viewer.desktop;")}},
    };
    const QString tools = qEnvironmentVariable("PATH");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(mimeAppsList());
        if (!c.before.isEmpty())
            writeFile(mimeAppsList(), c.before);
        {
            EnvironmentOverride noTools;
            noTools.set("PATH", path(QStringLiteral("no-tools")));
            for (bool written : registerProgram("/opt/examo/ExamoMe"))
                EXPECT_TRUE(written);
        }
        const QStringList lines =
            QString::fromUtf8(readFile(mimeAppsList())).split(QLatin1Char('\n'));
        EXPECT_EQ(lines.count(QStringLiteral("application/x-examome=examome.desktop")), 1)
            << lines.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(lines.contains(QStringLiteral("application/x-examome=old.desktop")));
        QString group;
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1Char('[')))
                group = line;
            else if (line == QStringLiteral("application/x-examome=examome.desktop")) {
                EXPECT_EQ(group, QStringLiteral("[Default Applications]"));
            }
        }
        for (const QString& kept : c.keptLines)
            EXPECT_TRUE(lines.contains(kept)) << kept.toStdString();

        // What xdg-mime reads back is what the desktop would use.
        if (!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
            const ToolResult application = runTool(
                QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("application/x-examome")});
            EXPECT_EQ(application.output, QStringLiteral("examome.desktop"));
        }
    }
    EXPECT_EQ(qEnvironmentVariable("PATH"), tools);
}

TEST_F(FreedesktopFileTypesTest, AnUnwritablePlaceOnlyFailsTheWrites) {
    // A folder below a regular file cannot be made, not even by root.
    writeFile(path(QStringLiteral("blocked")), "not a folder");
    useHome(path(QStringLiteral("blocked")));

    QElapsedTimer timer;
    timer.start();
    const std::vector<bool> written = registerProgram("/opt/examo/ExamoMe");
    EXPECT_FALSE(written.back());
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("blocked/data"))));
}

} // namespace
