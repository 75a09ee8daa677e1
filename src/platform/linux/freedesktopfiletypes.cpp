#include "platform/linux/freedesktopfiletypes.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QXmlStreamWriter>

namespace examo {

namespace {

constexpr QLatin1String kOpenCommandKey("shell\\open\\command");
constexpr QLatin1String kDefaultIconKey("DefaultIcon");
constexpr QLatin1String kDefaultApplicationsGroup("[Default Applications]");

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

// Replaces the file as a whole, so that a reader never sees half of it.
bool writeFile(const QString& path, const QByteArray& content) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
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

QByteArray mimePackage(const QString& mimeType, const QString& comment, const QString& iconName,
                       const QString& glob) {
    QByteArray content;
    QXmlStreamWriter xml(&content);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    xml.writeStartElement(QStringLiteral("mime-info"));
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), mimeType);
    xml.writeTextElement(QStringLiteral("comment"), comment);
    if (!iconName.isEmpty()) {
        xml.writeEmptyElement(QStringLiteral("icon"));
        xml.writeAttribute(QStringLiteral("name"), iconName);
    }
    xml.writeEmptyElement(QStringLiteral("glob"));
    xml.writeAttribute(QStringLiteral("pattern"), glob);
    xml.writeEndDocument();
    return content;
}

// The escapes of a desktop entry's string values.
QString escapeDesktopValue(const QString& value) {
    QString escaped;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    if (escaped.startsWith(QLatin1Char(' ')))
        escaped.replace(0, 1, QStringLiteral("\\s"));
    return escaped;
}

QByteArray desktopEntry(const QString& name, const QString& comment, const QString& exec,
                        const QString& icon, const QString& mimeType) {
    QStringList lines{
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=") + escapeDesktopValue(name),
        QStringLiteral("Comment=") + escapeDesktopValue(comment),
        QStringLiteral("Exec=") + escapeDesktopValue(exec),
    };
    if (!icon.isEmpty())
        lines << QStringLiteral("Icon=") + escapeDesktopValue(icon);
    lines << QStringLiteral("MimeType=") + mimeType + QLatin1Char(';')
          << QStringLiteral("Terminal=false") << QStringLiteral("Categories=Education;")
          << QStringLiteral("NoDisplay=false");
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

// Sets "mimeType=desktopId" in the [Default Applications] group of a mimeapps.list,
// keeping every other line as it is.
bool setDefaultApplication(const QString& path, const QString& mimeType, const QString& desktopId) {
    QStringList lines;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly | QIODevice::Text))
        lines = QString::fromUtf8(existing.readAll()).split(QLatin1Char('\n'));
    existing.close();
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();

    const QString entry = mimeType + QLatin1Char('=') + desktopId;
    qsizetype insertAt = -1;
    bool inGroup = false;
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == kDefaultApplicationsGroup;
            if (inGroup)
                insertAt = i + 1;
        } else if (inGroup) {
            if (line.section(QLatin1Char('='), 0, 0).trimmed() == mimeType) {
                lines[i] = entry;
                done = true;
            } else if (!line.isEmpty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (insertAt < 0) {
            if (!lines.isEmpty())
                lines << QString();
            lines << kDefaultApplicationsGroup;
            insertAt = lines.size();
        }
        lines.insert(insertAt, entry);
    }
    return writeFile(path, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

// The program's icon doubles as the icon of its files, as on systems where the type's
// icon is taken from the program file. iconPath is the installed icon, if there is one;
// false when it could not be written.
bool installIcon(const QString& data, const QString& name, QString& iconPath) {
    const QString installedIcon =
        data + QStringLiteral("/icons/hicolor/scalable/apps/") + name + QStringLiteral(".svg");
    QFile iconResource(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (iconResource.open(QIODevice::ReadOnly)) {
        if (!writeFile(installedIcon, iconResource.readAll()))
            return false;
        iconPath = installedIcon;
    } else if (QFileInfo::exists(installedIcon)) {
        iconPath = installedIcon;
    }
    return true;
}

} // namespace

FreedesktopFileTypes::FreedesktopFileTypes(int toolTimeoutMs) : toolTimeoutMs_(toolTimeoutMs) {}

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
    const QString mimeType = QStringLiteral("application/x-") + name;
    const auto found = classes_.find(className.toLower());
    const FileClass fileClass =
        found != classes_.end() ? found->second
                                : FileClass{.name = className, .description = {}, .command = {}};
    const QString description = fileClass.description.isEmpty() ? className : fileClass.description;
    const QString data = dataHome();

    QString iconPath;
    bool ok = installIcon(data, name, iconPath);
    const QString mimeFolder = data + QStringLiteral("/mime");
    if (writeFile(mimeFolder + QStringLiteral("/packages/") + name + QStringLiteral(".xml"),
                  mimePackage(mimeType, description, iconPath.isEmpty() ? QString() : name,
                              QLatin1Char('*') + extension.toLower()))) {
        runTool(QStringLiteral("update-mime-database"), {mimeFolder}, toolTimeoutMs_);
    } else {
        ok = false;
    }

    // Without an open command there is nothing to open the files with.
    if (fileClass.command.isEmpty())
        return ok;
    return installApplication(name, fileClass, description, iconPath, mimeType) && ok;
}

bool FreedesktopFileTypes::installApplication(const QString& name, const FileClass& fileClass,
                                              const QString& description, const QString& iconPath,
                                              const QString& mimeType) const {
    const QString exec =
        execProgramField(programOfCommand(fileClass.command)) + QStringLiteral(" %f");
    const QString desktopId = name + QStringLiteral(".desktop");
    const QString applications = dataHome() + QStringLiteral("/applications");
    if (!writeFile(applications + QLatin1Char('/') + desktopId,
                   desktopEntry(fileClass.name, description, exec, iconPath, mimeType)))
        return false;
    runTool(QStringLiteral("update-desktop-database"), {applications}, toolTimeoutMs_);
    // xdg-mime knows where the running desktop keeps its defaults; without it the common
    // file is written directly.
    if (runTool(QStringLiteral("xdg-mime"), {QStringLiteral("default"), desktopId, mimeType},
                toolTimeoutMs_))
        return true;
    return setDefaultApplication(configHome() + QStringLiteral("/mimeapps.list"), mimeType,
                                 desktopId);
}

} // namespace examo
