#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace examo::freedesktop {

// The whole content of a file; nullopt when it cannot be read.
std::optional<QByteArray> readFile(const QString& path);
// Replaces the file as a whole (a temporary file renamed over it), so that a reader never
// sees half of it and a program ended halfway leaves the old file.
bool writeFile(const QString& path, const QByteArray& content);

// A shared MIME info package declaring one type with one glob; no icon when iconName is empty.
QByteArray mimePackage(const QString& mimeType, const QString& comment, const QString& iconName,
                       const QString& glob);
// A desktop entry opening files of one MIME type; no icon when icon is empty.
QByteArray desktopEntry(const QString& name, const QString& comment, const QString& exec,
                        const QString& icon, const QString& mimeType);

// The mimeapps.list content that has "mimeType=desktopId" in its [Default Applications]
// group, every other line kept as it is in current.
QByteArray withDefaultApplication(const QByteArray& current, const QString& mimeType,
                                  const QString& desktopId);
// The default applications a mimeapps.list names for the type, as written; nullopt when it
// names none.
std::optional<QString> defaultApplications(const QByteArray& list, const QString& mimeType);

} // namespace examo::freedesktop
