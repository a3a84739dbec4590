#include "workspace/preferences.h"
#include "workspace/session.h"

#include "error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(Preferences, KeptBesideTheSessionAndDamagedValuesGiveTheDefaults) {
    QTemporaryDir dir;
    const QString file = dir.filePath("config/quenfort.conf");
    // Nothing yet: removed camera data, 2,560 px at most, quality 85.
    Preferences fresh = LoadPreferences(file);
    EXPECT_EQ(fresh.pictures.longest_side, 2560);
    EXPECT_EQ(fresh.pictures.quality, 85);
    EXPECT_TRUE(fresh.pictures.strip_metadata);
    EXPECT_TRUE(fresh.fit_new_pages);

    Preferences chosen;
    chosen.pictures = {1200, 70, false};
    chosen.fit_new_pages = false;
    SavePreferences(file, chosen);
    // The session's memory and the preferences share the file: each save keeps the other.
    SessionMemory memory;
    memory.last_project = "/home/u/site/";
    SaveSession(file, memory);
    Preferences read = LoadPreferences(file);
    EXPECT_EQ(read.pictures.longest_side, 1200);
    EXPECT_EQ(read.pictures.quality, 70);
    EXPECT_FALSE(read.pictures.strip_metadata);
    EXPECT_FALSE(read.fit_new_pages);
    chosen.pictures.quality = 40;
    SavePreferences(file, chosen);
    EXPECT_EQ(LoadSession(file).last_project, "/home/u/site/");
    EXPECT_EQ(LoadPreferences(file).pictures.quality, 40);

    // A hand-edited file: values out of bounds or unreadable are not taken.
    QFile edited(file);
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
    edited.write("[preferences]\nlongestPictureSide=-20\npictureQuality=250\n"
                 "removeCameraData=perhaps\nfitNewPages=0\n");
    edited.close();
    read = LoadPreferences(file);
    EXPECT_EQ(read.pictures.longest_side, 2560);
    EXPECT_EQ(read.pictures.quality, 85);
    EXPECT_TRUE(read.pictures.strip_metadata);
    EXPECT_TRUE(read.fit_new_pages);
}

TEST(Preferences, AFileThatCannotBeWrittenIsSaid) {
    QTemporaryDir dir;
    // A folder where the settings file should be.
    const QString file = dir.filePath("quenfort.conf");
    ASSERT_TRUE(QDir().mkpath(file));
    try {
        SavePreferences(file, Preferences{});
        ADD_FAILURE() << "saved into a folder";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find(file.toStdString()), std::string::npos);
    }
}

} // namespace
} // namespace qf
