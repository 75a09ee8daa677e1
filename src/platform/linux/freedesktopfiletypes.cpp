#include "platform/linux/freedesktopfiletypes.h"

#include "platform/linux/freedesktopfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>
#include <unistd.h>

#include <optional>

namespace examo {

namespace {

constexpr int kWorkerNice = 10;
constexpr QLatin1String kOpenCommandKey("shell\\open\\command");
constexpr QLatin1String kDefaultIconKey("DefaultIcon");

// A base directory from the environment; relative ones are invalid and ignored, as the
// base directory rules demand.
QString baseDirectory(const char* variable, const QString& fallbackBelowHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + fallbackBelowHome;
}

QString dataHome() {
    return baseDirectory("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

QString configHome() {
    return baseDirectory("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

// The class name as used in MIME type, desktop entry and icon names.
QString nameOfClass(const QString& className) {
    QString name = className.toLower();
    for (QChar& c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (!plain)
            c = QLatin1Char('-');
    }
    return name;
}

// Runs a desktop tool if it is installed; true when it ran and succeeded.
bool runTool(const QString& name, const QStringList& arguments, int timeoutMs) {
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return false;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

struct FreedesktopFileTypes::Registration {
    // A file to replace, then the desktop tool that reads it, if any.
    struct Step {
        QString path;
        QByteArray content;
        QString tool;
        QStringList arguments;
    };
    std::optional<Step> icon;
    std::optional<Step> mimePackage;
    bool application = false; // the class has a program to open its files
    std::optional<Step> desktopEntry;
    bool setDefault = false;
    QString mimeType;
    QString desktopId;
    QString defaultsList; // written when xdg-mime cannot set the default

    bool empty() const { return !icon && !mimePackage && !desktopEntry && !setDefault; }
};

namespace {

using Registration = FreedesktopFileTypes::Registration;

// A step only when the file does not hold the content already.
std::optional<Registration::Step> stepIfChanged(Registration::Step step) {
    if (freedesktop::readFile(step.path) == step.content)
        return std::nullopt;
    return step;
}

// The program's icon doubles as the icon of its files, as on systems where the type's
// icon is taken from the program file. iconPath is the installed icon, if there is one.
std::optional<Registration::Step> iconStep(const QString& data, const QString& name,
                                           QString& iconPath) {
    const QString installedIcon =
        data + QStringLiteral("/icons/hicolor/scalable/apps/") + name + QStringLiteral(".svg");
    QFile iconResource(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (iconResource.open(QIODevice::ReadOnly)) {
        iconPath = installedIcon;
        return stepIfChanged({.path = installedIcon,
                              .content = iconResource.readAll(),
                              .tool = {},
                              .arguments = {}});
    }
    if (QFileInfo::exists(installedIcon))
        iconPath = installedIcon;
    return std::nullopt;
}

// The application the desktop's defaults open the type with, read as xdg-mime and the
// desktops read them: the desktop's own lists come before the common one. Nothing when no
// list of the user names one.
std::optional<QString> userDefaultApplication(const QString& mimeType) {
    QStringList lists;
    const QString desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    for (const QString& desktop : desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        lists << configHome() + QLatin1Char('/') + desktop.toLower() +
                     QStringLiteral("-mimeapps.list");
    lists << configHome() + QStringLiteral("/mimeapps.list");
    for (const QString& list : lists) {
        const auto named = freedesktop::defaultApplications(
            freedesktop::readFile(list).value_or(QByteArray()), mimeType);
        if (named)
            return named->section(QLatin1Char(';'), 0, 0).trimmed();
    }
    return std::nullopt;
}

// The system's data folders, as the base directory rules give them.
QStringList dataDirectories() {
    QString value = qEnvironmentVariable("XDG_DATA_DIRS");
    if (value.isEmpty())
        value = QStringLiteral("/usr/local/share/:/usr/share/");
    QStringList folders;
    for (const QString& folder : value.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder))
            folders << QDir::cleanPath(folder);
    return folders;
}

// Whether an installed package already gives everyone the type with this glob, and an
// application of the same name that starts this very program. The user's own copies would
// then only shadow the system's.
bool installedForEveryone(const QString& name, const QString& glob, const QString& program) {
    const QString ours = QFileInfo(program).canonicalFilePath();
    if (ours.isEmpty())
        return false;
    for (const QString& folder : dataDirectories()) {
        const auto mime = freedesktop::readFile(folder + QStringLiteral("/mime/packages/") + name +
                                                QStringLiteral(".xml"));
        const auto entry = freedesktop::readFile(folder + QStringLiteral("/applications/") + name +
                                                 QStringLiteral(".desktop"));
        if (!mime || !entry ||
            !mime->contains(QByteArray("pattern=\"") + glob.toUtf8() + QByteArray("\"")))
            continue;
        for (const QString& line : QString::fromUtf8(*entry).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QStringLiteral("Exec=")))
                continue;
            QString started = line.mid(5).section(QLatin1Char(' '), 0, 0);
            if (!QDir::isAbsolutePath(started))
                started = QStandardPaths::findExecutable(started);
            if (!started.isEmpty() && QFileInfo(started).canonicalFilePath() == ours)
                return true;
            break;
        }
    }
    return false;
}

// Writes the step's file and runs its tool; false when the file could not be written.
bool writeStep(const Registration::Step& step, const FreedesktopFileTypes::ToolRunner& runTool) {
    if (!freedesktop::writeFile(step.path, step.content))
        return false;
    if (!step.tool.isEmpty())
        runTool(step.tool, step.arguments);
    return true;
}

// Does what differed, in the order the registration names it: icon, MIME type, then the
// application and its default, which needs the entry written.
bool applyRegistration(const Registration& r, const FreedesktopFileTypes::ToolRunner& runTool) {
    bool ok = !r.icon || writeStep(*r.icon, runTool);
    if (r.mimePackage)
        ok = writeStep(*r.mimePackage, runTool) && ok;
    if (!r.application)
        return ok;
    if (r.desktopEntry && !writeStep(*r.desktopEntry, runTool))
        return false;
    // xdg-mime knows where the running desktop keeps its defaults; without it the common
    // file is written directly.
    if (!r.setDefault ||
        runTool(QStringLiteral("xdg-mime"), {QStringLiteral("default"), r.desktopId, r.mimeType}))
        return ok;
    const QByteArray list = freedesktop::readFile(r.defaultsList).value_or(QByteArray());
    return freedesktop::writeFile(r.defaultsList, freedesktop::withDefaultApplication(
                                                      list, r.mimeType, r.desktopId)) &&
           ok;
}

} // namespace

FreedesktopFileTypes::FreedesktopFileTypes(int toolTimeoutMs)
    : FreedesktopFileTypes([toolTimeoutMs](const QString& tool, const QStringList& arguments) {
          return runTool(tool, arguments, toolTimeoutMs);
      }) {}

FreedesktopFileTypes::FreedesktopFileTypes(ToolRunner runTool) : runTool_(std::move(runTool)) {}

FreedesktopFileTypes::~FreedesktopFileTypes() {
    finish();
}

bool FreedesktopFileTypes::setValue(const std::string& key, const std::string& subKey,
                                    const std::string& value) {
    const QString keyText = QString::fromStdString(key);
    const QString subKeyText = QString::fromStdString(subKey);
    const QString valueText = QString::fromStdString(value);
    if (keyText.isEmpty())
        return false;

    if (keyText.startsWith(QLatin1Char('.'))) {
        if (!subKeyText.isEmpty())
            return false;
        return registerExtension(keyText, valueText);
    }

    FileClass& fileClass = classes_[keyText.toLower()];
    fileClass.name = keyText;
    if (subKeyText.isEmpty()) {
        fileClass.description = valueText;
        return true;
    }
    if (subKeyText.compare(kOpenCommandKey, Qt::CaseInsensitive) == 0) {
        fileClass.command = valueText;
        return true;
    }
    // The value names the program file; our icon comes with the program instead.
    return subKeyText.compare(kDefaultIconKey, Qt::CaseInsensitive) == 0;
}

QString FreedesktopFileTypes::programOfCommand(const QString& command) {
    QString program = command.trimmed();
    if (program.endsWith(QStringLiteral("%1")))
        program = program.chopped(2).trimmed();
    if (program.size() >= 2 && program.startsWith(QLatin1Char('"')) &&
        program.endsWith(QLatin1Char('"')))
        program = program.mid(1, program.size() - 2);
    if (program.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        program.chop(4);
    return program;
}

QString FreedesktopFileTypes::execProgramField(const QString& program) {
    static constexpr QLatin1String kReserved(" \t\n\"'\\><~|&;$*?#()`");
    static constexpr QLatin1String kEscapedInQuotes("\"`$\\");
    bool needsQuotes = program.isEmpty();
    for (const QChar c : program)
        needsQuotes = needsQuotes || kReserved.contains(c);

    QString field;
    if (needsQuotes)
        field += QLatin1Char('"');
    for (const QChar c : program) {
        if (needsQuotes && kEscapedInQuotes.contains(c))
            field += QLatin1Char('\\');
        field += c;
        // A lone % would start a field code.
        if (c == QLatin1Char('%'))
            field += QLatin1Char('%');
    }
    if (needsQuotes)
        field += QLatin1Char('"');
    return field;
}

bool FreedesktopFileTypes::registerExtension(const QString& extension, const QString& className) {
    const QString name = nameOfClass(className);
    if (name.isEmpty() || extension.size() < 2)
        return false;
    finish(); // an earlier registration first
    const auto found = classes_.find(className.toLower());
    const FileClass fileClass =
        found != classes_.end() ? found->second
                                : FileClass{.name = className, .description = {}, .command = {}};
    const QString description = fileClass.description.isEmpty() ? className : fileClass.description;
    auto r = std::make_unique<Registration>();
    r->mimeType = QStringLiteral("application/x-") + name;

    // Installed for everyone, the type needs nothing of the user's own; only a default the
    // user gave to another program is taken back.
    if (!fileClass.command.isEmpty() &&
        installedForEveryone(name, QLatin1Char('*') + extension.toLower(),
                             programOfCommand(fileClass.command))) {
        r->application = true;
        r->desktopId = name + QStringLiteral(".desktop");
        const std::optional<QString> chosen = userDefaultApplication(r->mimeType);
        r->setDefault = chosen && *chosen != r->desktopId;
        r->defaultsList = configHome() + QStringLiteral("/mimeapps.list");
    } else {
        planUserFiles(*r, name, extension, fileClass, description);
    }
    ok_ = true;
    if (r->empty())
        return true;
    pending_ = std::move(r);
    // Queued, the work starts only once the event loop runs, after the window is shown.
    if (QCoreApplication::instance() != nullptr)
        QMetaObject::invokeMethod(
            &queuedCalls_, [this] { startWorker(); }, Qt::QueuedConnection);
    return true;
}

void FreedesktopFileTypes::planUserFiles(Registration& r, const QString& name,
                                         const QString& extension, const FileClass& fileClass,
                                         const QString& description) {
    const QString data = dataHome();
    QString iconPath;
    r.icon = iconStep(data, name, iconPath);
    const QString mimeFolder = data + QStringLiteral("/mime");
    r.mimePackage = stepIfChanged(
        {.path = mimeFolder + QStringLiteral("/packages/") + name + QStringLiteral(".xml"),
         .content = freedesktop::mimePackage(r.mimeType, description,
                                             iconPath.isEmpty() ? QString() : name,
                                             QLatin1Char('*') + extension.toLower()),
         .tool = QStringLiteral("update-mime-database"),
         .arguments = {mimeFolder}});
    // Without an open command there is nothing to open the files with.
    r.application = !fileClass.command.isEmpty();
    if (r.application)
        planApplication(r, name, fileClass, description, iconPath);
}

void FreedesktopFileTypes::planApplication(Registration& r, const QString& name,
                                           const FileClass& fileClass, const QString& description,
                                           const QString& iconPath) {
    const QString exec =
        execProgramField(programOfCommand(fileClass.command)) + QStringLiteral(" %f");
    r.desktopId = name + QStringLiteral(".desktop");
    const QString applications = dataHome() + QStringLiteral("/applications");
    r.desktopEntry = stepIfChanged({.path = applications + QLatin1Char('/') + r.desktopId,
                                    .content = freedesktop::desktopEntry(
                                        fileClass.name, description, exec, iconPath, r.mimeType),
                                    .tool = QStringLiteral("update-desktop-database"),
                                    .arguments = {applications}});
    r.setDefault = userDefaultApplication(r.mimeType) != r.desktopId;
    r.defaultsList = configHome() + QStringLiteral("/mimeapps.list");
}

void FreedesktopFileTypes::startWorker() {
    if (!pending_ || worker_.joinable())
        return;
    worker_ = std::thread([this, r = std::move(pending_)] {
        // Below the program's own threads, so that the window stays quick to answer.
        setpriority(PRIO_PROCESS, id_t(gettid()), kWorkerNice);
        ok_ = applyRegistration(*r, runTool_);
    });
}

bool FreedesktopFileTypes::finish() {
    if (worker_.joinable())
        worker_.join();
    if (pending_) {
        ok_ = applyRegistration(*pending_, runTool_);
        pending_.reset();
    }
    return ok_;
}

} // namespace examo
