#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstwaveplayer.h"
#include "platform/linux/percentshortpath.h"
#include "platform/linux/qtresources.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

using examo::GstEnvironment;
using examo::GstWavePlayer;
using examo::inspectWave;
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

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(tag[i]));
}

// A quiet 440 Hz tone as a mono 16-bit PCM RIFF WAVE image.
std::vector<std::uint8_t> pcmWave(double seconds, std::uint32_t rate = 22050) {
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 36 + frames * 2);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, rate);
    put32(out, rate * 2);
    put16(out, 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i)
        put16(out, std::uint16_t(std::int16_t(3000 * std::sin(2 * M_PI * 440 * i / rate))));
    return out;
}

// The format tag of a RIFF WAVE image's "fmt " chunk, or -1 when the image is no RIFF WAVE.
int waveFormatTag(const std::vector<std::uint8_t>& image) {
    if (image.size() < 12 || std::memcmp(image.data(), "RIFF", 4) != 0 ||
        std::memcmp(image.data() + 8, "WAVE", 4) != 0)
        return -1;
    std::size_t at = 12;
    while (at + 8 <= image.size()) {
        const std::uint32_t size = image[at + 4] | image[at + 5] << 8 | image[at + 6] << 16 |
                                   std::uint32_t(image[at + 7]) << 24;
        if (std::memcmp(image.data() + at, "fmt ", 4) == 0 && at + 10 <= image.size())
            return image[at + 8] | image[at + 9] << 8;
        at += 8 + size + (size & 1);
    }
    return -1;
}

constexpr int kFormatPcm = 1;
constexpr int kFormatImaAdpcm = 0x11;

// Without a sound device the player still keeps real time on a silent sink.
struct SilentAudio {
    SilentAudio() { qputenv("EXAMO_AUDIO", "silent"); }
};

class WavePlayerTest : public ::testing::Test {
protected:
    // Makes a wave with sox into the temporary folder; empty when sox is not there.
    std::string soxWave(const char* name, const QStringList& encoding, const char* seconds) {
        const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
        if (sox.isEmpty())
            return {};
        const QString path = dir.filePath(QString::fromUtf8(name));
        QStringList args{QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("22050"),
                         QStringLiteral("-c"), QStringLiteral("1")};
        args << encoding << path << QStringLiteral("synth") << QString::fromUtf8(seconds)
             << QStringLiteral("sine") << QStringLiteral("440");
        if (QProcess::execute(sox, args) != 0)
            return {};
        return path.toStdString();
    }

    static std::vector<std::uint8_t> readAll(const std::string& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        return {bytes.begin(), bytes.end()};
    }

    QTemporaryDir dir;
    SilentAudio silent;
    GstEnvironment env;
    GstWavePlayer player{env};
};

} // namespace

TEST_F(WavePlayerTest, SyncPlayReturnsOnlyWhenTheSoundHasEnded) {
    ASSERT_FALSE(env.hasSoundDevice());
    const auto wave = pcmWave(0.5);
    const auto start = Clock::now();
    EXPECT_TRUE(player.playMemory(wave, waveflags::kSync | waveflags::kMemory));
    const double taken = secondsSince(start);
    EXPECT_GE(taken, 0.4);
    // Well below the length plus the player's 3 s margin: the end of the sound ended the wait.
    EXPECT_LT(taken, 3.0);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.started(), 1u);
}

TEST_F(WavePlayerTest, AdpcmWavesPlayForTheirWholeLength) {
    const std::string path =
        soxWave("ima.wav", {QStringLiteral("-e"), QStringLiteral("ima-adpcm")}, "1.0");
    if (path.empty())
        GTEST_SKIP() << "sox is needed to make an IMA ADPCM wave";

    const auto info = inspectWave(readAll(path));
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->adpcm);
    EXPECT_NEAR(info->seconds(), 1.0, 0.05);

    auto start = Clock::now();
    EXPECT_TRUE(player.playFile(path, waveflags::kSync));
    const double adpcmTaken = secondsSince(start);
    EXPECT_GE(adpcmTaken, 0.9);
    EXPECT_LT(adpcmTaken, 3.5);

    // The built-in ADPCM sound, from memory, also plays whole.
    const auto farewell = examo::QtResources().load("CUSTOM", 123);
    ASSERT_TRUE(farewell);
    const auto farewellInfo = inspectWave(*farewell);
    ASSERT_TRUE(farewellInfo);
    ASSERT_TRUE(farewellInfo->adpcm);
    start = Clock::now();
    EXPECT_TRUE(player.playMemory(*farewell, waveflags::kSync | waveflags::kMemory));
    const double taken = secondsSince(start);
    EXPECT_GE(taken, farewellInfo->seconds() - 0.1);
    EXPECT_LT(taken, farewellInfo->seconds() + 2.5);
}

TEST_F(WavePlayerTest, AsyncPlayReturnsAtOnceAndTheSoundPlaysOn) {
    const auto wave = pcmWave(2.0);
    const auto start = Clock::now();
    EXPECT_TRUE(player.playMemory(wave, waveflags::kAsync | waveflags::kMemory));
    EXPECT_LT(secondsSince(start), 1.5) << "returned only when the sound could have ended";
    EXPECT_TRUE(player.isPlaying());

    ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, 8.0));
    EXPECT_GE(secondsSince(start), 1.8);
}

TEST_F(WavePlayerTest, ANewWaveReplacesThePlayingOne) {
    const auto first = pcmWave(3.0);
    const auto second = pcmWave(0.5);
    ASSERT_TRUE(player.playMemory(first, waveflags::kAsync | waveflags::kMemory));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ASSERT_TRUE(player.isPlaying());
    const double firstPosition = player.positionSeconds();
    EXPECT_GT(firstPosition, 0.3);

    const auto replaced = Clock::now();
    ASSERT_TRUE(player.playMemory(second, waveflags::kAsync | waveflags::kMemory));
    EXPECT_EQ(player.started(), 2u);
    EXPECT_LT(player.positionSeconds(), firstPosition);
    // The short wave ends long before what was left of the first one.
    ASSERT_TRUE(waitUntil([&] { return !player.isPlaying(); }, 8.0));
    EXPECT_LT(secondsSince(replaced), 2.2);
}

TEST_F(WavePlayerTest, ALoopPlaysOnPastItsLengthUntilReplaced) {
    const auto loop = pcmWave(0.4);
    const auto start = Clock::now();
    // Loop alone, without the async flag, still returns at once.
    ASSERT_TRUE(player.playMemory(loop, waveflags::kLoop | waveflags::kMemory));
    EXPECT_LT(secondsSince(start), 1.5);

    EXPECT_TRUE(waitUntil([&] { return player.positionSeconds() > 1.0; }, 8.0));
    EXPECT_TRUE(player.isPlaying());

    const auto beep = pcmWave(0.3);
    const auto replaced = Clock::now();
    ASSERT_TRUE(player.playMemory(beep, waveflags::kSync | waveflags::kMemory));
    EXPECT_GE(secondsSince(replaced), 0.25);
    EXPECT_LT(secondsSince(replaced), 2.8);
    EXPECT_FALSE(player.isPlaying());

    // A player that goes away mid-loop stops it rather than waiting for an end.
    ASSERT_TRUE(player.playMemory(loop, waveflags::kLoop | waveflags::kMemory));
}

TEST_F(WavePlayerTest, MissingFilesAndOtherDataAreRefusedAtOnce) {
    const auto start = Clock::now();
    EXPECT_FALSE(player.playFile(dir.filePath(QStringLiteral("missing.wav")).toStdString(),
                                 waveflags::kSync));
    EXPECT_FALSE(player.playFile(dir.path().toStdString(), waveflags::kSync));
    EXPECT_FALSE(player.playFile("", waveflags::kAsync));

    QFile text(dir.filePath(QStringLiteral("notes.wav")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("RIFF but not a wave at all\r\n");
    text.close();
    EXPECT_FALSE(player.playFile(text.fileName().toStdString(), waveflags::kSync));

    const std::vector<std::uint8_t> garbage(4096, 0xA5);
    EXPECT_FALSE(player.playMemory(garbage, waveflags::kSync | waveflags::kMemory));
    EXPECT_FALSE(player.playMemory({}, waveflags::kLoop | waveflags::kMemory));
    const auto wave = pcmWave(0.5);
    EXPECT_FALSE(
        player.playMemory(std::span(wave).first(30), waveflags::kSync | waveflags::kMemory));

    // Another sound format that the decoder could read is still no wave.
    const std::string aiff = soxWave("tone.aiff", {}, "0.2");
    if (!aiff.empty()) {
        EXPECT_FALSE(player.playFile(aiff, waveflags::kSync));
    }

    EXPECT_LT(secondsSince(start), 5.0);
    EXPECT_EQ(player.started(), 0u);
    EXPECT_FALSE(player.isPlaying());
}

TEST(BuiltInSounds, EveryPlayerSoundIsAShortMonoWaveAndOneIsAdpcm) {
    examo::QtResources resources;
    int adpcm = 0;
    for (int number = 101; number <= 123; ++number) {
        SCOPED_TRACE(number);
        const auto image = resources.load("CUSTOM", number);
        ASSERT_TRUE(image);
        const int tag = waveFormatTag(*image);
        EXPECT_TRUE(tag == kFormatPcm || tag == kFormatImaAdpcm) << tag;
        const auto info = inspectWave(*image);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->channels, 1);
        EXPECT_GT(info->seconds(), 0.1);
        EXPECT_LT(info->seconds(), 4.0);
        EXPECT_EQ(info->adpcm, tag == kFormatImaAdpcm);
        adpcm += info->adpcm ? 1 : 0;
    }
    EXPECT_EQ(adpcm, 1);
    EXPECT_FALSE(resources.load("CUSTOM", 100));
    EXPECT_FALSE(resources.load("CUSTOM", 124));
    EXPECT_FALSE(resources.load("OTHER", 101));
}

TEST(ShortPath, EncodingRoundTripsAndLeavesStrayPercentSignsAlone) {
    const std::string path = "/home/a b/100% sure/%20 x.wav";
    const std::string encoded = examo::encodeShortPath(path);
    EXPECT_EQ(encoded, "/home/a%20b/100%25%20sure/%2520%20x.wav");
    EXPECT_EQ(examo::decodeShortPath(encoded), path);
    EXPECT_EQ(examo::decodeShortPath("100%"), "100%");
    EXPECT_EQ(examo::decodeShortPath("a%zzb%4"), "a%zzb%4");
    EXPECT_EQ(examo::decodeShortPath("%2f%2F%41"), "//A");
}

TEST(ShortPath, ExistingFilesGiveTheirEncodedAbsolutePath) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("my 100% folder")));
    const QString file = dir.filePath(QStringLiteral("my 100% folder/clip one.avi"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    const std::string longPath = file.toStdString();

    examo::PercentShortPath shortPaths;
    std::string buffer(255, ' ');
    const std::uint32_t n = shortPaths.getShortPathName(longPath, buffer, 255);
    ASSERT_GT(n, 0u);
    const std::string shortPath = buffer.substr(0, n);
    EXPECT_EQ(shortPath.find(' '), std::string::npos);
    EXPECT_EQ(examo::decodeShortPath(shortPath), longPath);
    EXPECT_EQ(buffer[n], '\0');

    // A relative path is taken from the current folder.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.filePath(QStringLiteral("my 100% folder"))));
    std::string relative(255, ' ');
    const std::uint32_t m = shortPaths.getShortPathName("clip one.avi", relative, 255);
    QDir::setCurrent(previous);
    EXPECT_EQ(relative.substr(0, m), shortPath);

    // Too small a buffer, for the path and its terminating NUL, is a failure and stays untouched.
    std::string small(n, ' ');
    EXPECT_EQ(shortPaths.getShortPathName(longPath, small, n), 0u);
    EXPECT_EQ(small, std::string(n, ' '));
    EXPECT_EQ(shortPaths.getShortPathName(longPath, small, n + 1), n);

    std::string missing(255, ' ');
    EXPECT_EQ(shortPaths.getShortPathName(longPath + ".gone", missing, 255), 0u);
    EXPECT_EQ(shortPaths.getShortPathName("", missing, 255), 0u);
    EXPECT_EQ(missing, std::string(255, ' '));
}
