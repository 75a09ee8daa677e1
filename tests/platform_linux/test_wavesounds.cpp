#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstwaveplayer.h"
#include "platform/linux/percentshortpath.h"
#include "platform/linux/qtresources.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using examo::inspectWave;
using examo::testing::pcmWave;
namespace waveflags = examo::waveflags;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Polls until the condition holds; false when it did not within the time given.
bool waitUntil(const std::function<bool()>& condition, double seconds) {
    const auto start = Clock::now();
    while (!condition()) {
        if (secondsSince(start) > seconds)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Without a sound device the player keeps real time on a silent sink.
class WavePlayerTest : public ::testing::Test, examo::testing::SilentAudio {
protected:
    // How long a play call took to return.
    double play(const std::vector<std::uint8_t>& wave, std::uint32_t flags) {
        const auto start = Clock::now();
        EXPECT_TRUE(player.playMemory(wave, flags | waveflags::kMemory));
        return secondsSince(start);
    }

    QTemporaryDir dir;
    examo::GstEnvironment env;
    examo::GstWavePlayer player{env};
};

} // namespace

TEST_F(WavePlayerTest, SyncPlayReturnsWhenTheWholeSoundHasEnded) {
    ASSERT_FALSE(env.hasSoundDevice());
    const double taken = play(pcmWave(0.5), waveflags::kSync);
    // Well below the length plus the player's 3 s margin: the end of the sound ended the wait.
    EXPECT_GE(taken, 0.4);
    EXPECT_LT(taken, 3.0);
    EXPECT_FALSE(player.isPlaying());

    // The built-in ADPCM sound plays whole too.
    const auto farewell = examo::QtResources().load("CUSTOM", 123);
    ASSERT_TRUE(farewell);
    const auto info = inspectWave(*farewell);
    ASSERT_TRUE(info && info->adpcm);
    const double adpcm = play(*farewell, waveflags::kSync);
    EXPECT_GE(adpcm, info->seconds() - 0.1);
    EXPECT_LT(adpcm, info->seconds() + 2.5);
    EXPECT_EQ(player.started(), 2u);
}

TEST_F(WavePlayerTest, AsyncAndLoopReturnAtOnceAndANewWaveReplacesThePlayingOne) {
    const auto start = Clock::now();
    EXPECT_LT(play(pcmWave(2.0), waveflags::kAsync), 1.5);
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, 8.0));
    EXPECT_GE(secondsSince(start), 1.8);

    // Loop alone, without the async flag, still returns at once, and plays past its length.
    EXPECT_LT(play(pcmWave(0.4), waveflags::kLoop), 1.5);
    EXPECT_TRUE(waitUntil([&] { return player.positionSeconds() > 1.0; }, 8.0));
    const double looped = player.positionSeconds();
    const double beep = play(pcmWave(0.3), waveflags::kSync);
    EXPECT_GE(beep, 0.25);
    EXPECT_LT(beep, 2.8);
    EXPECT_LT(player.positionSeconds(), looped);
    EXPECT_FALSE(player.isPlaying());

    // A player that goes away mid-loop stops it rather than waiting for an end.
    play(pcmWave(0.4), waveflags::kLoop);
}

TEST_F(WavePlayerTest, MissingFilesAndOtherDataAreRefusedAtOnce) {
    const auto start = Clock::now();
    EXPECT_FALSE(player.playFile(dir.filePath(QStringLiteral("missing.wav")).toStdString(),
                                 waveflags::kSync));
    EXPECT_FALSE(player.playFile(dir.path().toStdString(), waveflags::kSync));
    EXPECT_FALSE(player.playFile("", waveflags::kAsync));
    const auto wave = pcmWave(0.5);
    for (const auto& bad : {std::vector<std::uint8_t>(4096, 0xA5), std::vector<std::uint8_t>(),
                            std::vector<std::uint8_t>(wave.begin(), wave.begin() + 30)})
        EXPECT_FALSE(player.playMemory(bad, waveflags::kSync | waveflags::kMemory));
    EXPECT_LT(secondsSince(start), 5.0);
    EXPECT_EQ(player.started(), 0u);
}

TEST(BuiltInSounds, EveryPlayerSoundIsAShortMonoWaveAndOneIsAdpcm) {
    examo::QtResources resources;
    int adpcm = 0;
    for (int number = 101; number <= 123; ++number) {
        const auto image = resources.load("CUSTOM", number);
        ASSERT_TRUE(image) << number;
        const auto info = inspectWave(*image);
        ASSERT_TRUE(info) << number;
        EXPECT_EQ(info->channels, 1);
        EXPECT_TRUE(info->seconds() > 0.1 && info->seconds() < 4.0) << number;
        adpcm += info->adpcm ? 1 : 0;
    }
    EXPECT_EQ(adpcm, 1);
    EXPECT_FALSE(resources.load("CUSTOM", 100));
    EXPECT_FALSE(resources.load("CUSTOM", 124));
    EXPECT_FALSE(resources.load("OTHER", 101));
}

TEST(ShortPath, ExistingFilesGiveTheirEncodedAbsolutePath) {
    EXPECT_EQ(examo::encodeShortPath("/home/a b/100% sure/%20 x.wav"),
              "/home/a%20b/100%25%20sure/%2520%20x.wav");
    EXPECT_EQ(examo::decodeShortPath("/a%20b/100%25/%2520"), "/a b/100%/%20");
    // Stray percent signs are left alone.
    EXPECT_EQ(examo::decodeShortPath("100%a%zzb%4"), "100%a%zzb%4");
    EXPECT_EQ(examo::decodeShortPath("%2f%2F%41"), "//A");

    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("my 100% folder")));
    const QString file = dir.filePath(QStringLiteral("my 100% folder/clip one.avi"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    const std::string longPath = file.toStdString();
    examo::PercentShortPath shortPaths;
    std::string buffer(255, ' ');
    const std::uint32_t n = shortPaths.getShortPathName(longPath, buffer, 255);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(buffer.substr(0, n + 1), examo::encodeShortPath(longPath) + '\0');

    // A relative path is taken from the current folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.filePath(QStringLiteral("my 100% folder"))));
    std::string relative(255, ' ');
    const std::uint32_t m = shortPaths.getShortPathName("clip one.avi", relative, 255);
    QDir::setCurrent(previous);
    EXPECT_EQ(relative.substr(0, m), buffer.substr(0, n));

    // Too small a buffer (for the path and its NUL) or no file: a failure, the buffer untouched.
    std::string small(n, ' ');
    EXPECT_EQ(shortPaths.getShortPathName(longPath, small, n), 0u);
    EXPECT_EQ(shortPaths.getShortPathName(longPath + ".gone", small, n + 1), 0u);
    EXPECT_EQ(small, std::string(n, ' '));
}
