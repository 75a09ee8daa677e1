#include "platform/linux/qtsettingsstore.h"

#include <QFile>

#include <gtest/gtest.h>

using examo::QtSettingsStore;

TEST(QtSettingsStore, ValuesRoundTripThroughAReadableIniFile) {
    const std::string app = "ExamoSettingsTest";
    QFile ini(QtSettingsStore::fileFor(app));
    ini.remove();
    QtSettingsStore store;
    EXPECT_EQ(store.getSetting(app, "Settings", "MRU1", "none"), "none");
    store.saveSetting(app, "Settings", "MRU1", "/home/ann/quiz one.exm");
    store.saveSetting(app, "Player", "Name", "Zoë Müller");
    store.saveSetting(app, "Player", "Class", "");
    QtSettingsStore later;
    EXPECT_EQ(later.getSetting(app, "Player", "Name", ""), "Zoë Müller");
    EXPECT_EQ(later.getSetting(app, "Player", "Class", "default"), "") << "empty is not missing";
    EXPECT_EQ(later.getSetting(app, "Player", "MRU1", "default"), "default")
        << "sections are apart";
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[Settings]\nMRU1=/home/ann/quiz one.exm\n"));
}
