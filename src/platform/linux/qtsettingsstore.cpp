#include "platform/linux/qtsettingsstore.h"

#include <QSettings>
#include <QStandardPaths>

namespace examo {

QString QtSettingsStore::fileFor(const std::string& application) {
    const QString app = QString::fromStdString(application);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".conf");
}

std::string QtSettingsStore::getSetting(const std::string& application, const std::string& section,
                                        const std::string& key, const std::string& defaultValue) {
    QSettings settings(fileFor(application), QSettings::IniFormat);
    settings.beginGroup(QString::fromStdString(section));
    const QString name = QString::fromStdString(key);
    if (!settings.contains(name))
        return defaultValue;
    return settings.value(name).toString().toStdString();
}

void QtSettingsStore::saveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    QSettings settings(fileFor(application), QSettings::IniFormat);
    settings.beginGroup(QString::fromStdString(section));
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
    settings.endGroup();
    // Written at once: another of the programs may read the file right after.
    settings.sync();
}

} // namespace examo
