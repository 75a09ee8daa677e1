#include "platform/linux/qtsettingsstore.h"

#include <QFile>

#include <gtest/gtest.h>

using examo::QtSettingsStore;

TEST(QtSettingsStore, ValuesRoundTripThroughAReadableIniFile) {
    const std::string app = "ExamoSettingsTest";
    const QString file = QtSettingsStore::fileFor(app);
    QFile::remove(file);
    if (!qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        EXPECT_EQ(file, qEnvironmentVariable("XDG_CONFIG_HOME") +
                            QStringLiteral("/ExamoSettingsTest/ExamoSettingsTest.conf"));
    }

    QtSettingsStore store;
    EXPECT_EQ(store.getSetting(app, "Settings", "MRU1", "none"), "none");
    store.saveSetting(app, "Settings", "MRU1", "/home/ann/quiz one.exm");
    store.saveSetting(app, "Player", "Name", "Zoë Müller");
    store.saveSetting(app, "Player", "Class", "");

    QtSettingsStore later;
    EXPECT_EQ(later.getSetting(app, "Settings", "MRU1", ""), "/home/ann/quiz one.exm");
    EXPECT_EQ(later.getSetting(app, "Player", "Name", ""), "Zoë Müller");
    EXPECT_EQ(later.getSetting(app, "Player", "Class", "default"), "") << "empty is not missing";
    EXPECT_EQ(later.getSetting(app, "Player", "MRU1", "default"), "default")
        << "sections are separate";

    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(content.contains(QStringLiteral("[Settings]\nMRU1=/home/ann/quiz one.exm\n")))
        << content.toStdString();
}
