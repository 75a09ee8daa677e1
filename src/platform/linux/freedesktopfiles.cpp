#include "platform/linux/freedesktopfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QXmlStreamWriter>

namespace examo::freedesktop {

namespace {

constexpr QLatin1String kDefaultApplicationsGroup("[Default Applications]");

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

// The lines of a mimeapps.list without the empty ones at its end.
QStringList listLines(const QByteArray& list) {
    QStringList lines;
    if (!list.isEmpty()) // read as text: line ends with \r lose it
        lines = QString::fromUtf8(list).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

std::optional<QByteArray> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
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

QByteArray withDefaultApplication(const QByteArray& current, const QString& mimeType,
                                  const QString& desktopId) {
    QStringList lines = listLines(current);
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
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

std::optional<QString> defaultApplications(const QByteArray& list, const QString& mimeType) {
    bool inGroup = false;
    for (const QString& raw : listLines(list)) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == kDefaultApplicationsGroup;
        else if (inGroup && line.section(QLatin1Char('='), 0, 0).trimmed() == mimeType)
            return line.section(QLatin1Char('='), 1).trimmed();
    }
    return std::nullopt;
}

} // namespace examo::freedesktop
