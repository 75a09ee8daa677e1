#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstwaveplayer.h"
#include "platform/linux/qtresources.h"

#include "support/tools.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using examo::testing::pcmWave;
using examo::testing::waitFor;
namespace waveflags = examo::waveflags;

namespace {

// Without a sound device the player keeps real time on a silent sink.
class WavePlayerTest : public ::testing::Test, examo::testing::SilentAudio {
protected:
    bool play(const std::vector<std::uint8_t>& wave, std::uint32_t flags) {
        return player.playMemory(wave, flags | waveflags::kMemory);
    }
    // How long a sync play took to return.
    double playSync(const std::vector<std::uint8_t>& wave) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(play(wave, waveflags::kSync));
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    examo::GstEnvironment env;
    examo::GstWavePlayer player{env};
};

} // namespace

TEST_F(WavePlayerTest, SyncPlayRealTimeLastsAsLongAsTheWholeSound) {
    ASSERT_FALSE(env.hasSoundDevice());
    // Well below the length plus the player's 3 s margin: the end of the sound ended the wait.
    const double pcm = playSync(pcmWave(0.5));
    EXPECT_TRUE(pcm >= 0.4 && pcm < 3.0) << pcm;
    EXPECT_FALSE(player.isPlaying());
    // The built-in ADPCM sound, which GStreamer alone would cut short, plays whole.
    const auto farewell =
        examo::QtResources().load("CUSTOM", 123).value_or(std::vector<std::uint8_t>());
    const auto info = examo::inspectWave(farewell);
    ASSERT_TRUE(info && info->adpcm);
    const double adpcm = playSync(farewell);
    EXPECT_TRUE(adpcm >= info->seconds() - 0.1 && adpcm < info->seconds() + 2.5) << adpcm;
}

TEST_F(WavePlayerTest, AsyncAndLoopReturnWhilePlayingAndANewWaveReplacesThePlayingOne) {
    ASSERT_TRUE(play(pcmWave(2.0), waveflags::kAsync));
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(waitFor([&] { return !player.isPlaying(); })); // it ends by itself
    // Loop alone, without the async flag, still returns at once, and plays past its length.
    ASSERT_TRUE(play(pcmWave(0.4), waveflags::kLoop));
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(waitFor([&] { return player.positionSeconds() > 1.0; }));
    const double looped = player.positionSeconds();
    playSync(pcmWave(0.3));
    EXPECT_LT(player.positionSeconds(), looped);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.started(), 3u);
    // A player that goes away mid-loop stops it rather than waiting for an end.
    play(pcmWave(0.4), waveflags::kLoop);
}

TEST_F(WavePlayerTest, MissingFilesAndOtherDataAreRefused) {
    // A movie named as a wave is no wave: refused, and no window is ever opened for it.
    const QTemporaryDir dir;
    const QString movie = dir.filePath(u"movie.wav"_s);
    ASSERT_TRUE(examo::testing::runProgram(
                    u"ffmpeg"_s, {u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
                                  u"testsrc=d=1"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=d=1"_s,
                                  u"-c:a"_s, u"pcm_s16le"_s, u"-f"_s, u"avi"_s, movie})
                    .ok);
    for (const auto& file :
         {QDir::tempPath() + u"/examo-missing.wav"_s, QDir::tempPath(), QString(), movie})
        EXPECT_FALSE(player.playFile(file.toStdString(), waveflags::kSync)) << file.toStdString();
    const auto wave = pcmWave(0.5);
    for (const auto& bad : {std::vector<std::uint8_t>(4096, 0xA5), std::vector<std::uint8_t>(),
                            std::vector<std::uint8_t>(wave.begin(), wave.begin() + 30)})
        EXPECT_FALSE(play(bad, waveflags::kSync));
    EXPECT_EQ(player.started(), 0u);
}
