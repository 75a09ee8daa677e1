#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using examo::GstMediaCommandService;
using examo::testing::waitFor;

namespace {

// One second of C major, a quarter of a second a note, as a format-0 MIDI file.
QByteArray midiTune() {
    QByteArray track("\x00\xff\x51\x03\x07\xa1\x20\x00\xc0\x00", 10); // 120 a minute, piano
    for (const char note : {60, 64, 67, 72})
        track.append(QByteArray("\x00\x90", 2) + note + QByteArray("\x64\x81\x70\x80", 4) + note +
                     QByteArray(1, '\0'));
    track.append("\x00\xff\x2f\x00", 4);
    QByteArray file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk", 18);
    for (const int shift : {24, 16, 8, 0})
        file.append(static_cast<char>((track.size() >> shift) & 0xff));
    return file + track;
}

constexpr const char* kBars = "-f lavfi -i testsrc=size=160x120:rate=10:duration=1 ";
constexpr const char* kTone = "-f lavfi -i sine=frequency=440:duration=1 ";

class GstMediaTest : public ::testing::Test, examo::testing::SilentAudio {
protected:
    // A blank in the folder name shows that the encoded short path is turned back.
    GstMediaTest() : dir(QDir::tempPath() + QStringLiteral("/examo media XXXXXX")) {}

    std::string path(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }
    // A file from ffmpeg's test sources (arguments split at blanks), or the MIDI tune.
    std::string make(const char* name, const std::string& ffmpeg) const {
        if (ffmpeg.empty()) {
            QFile out(QString::fromStdString(path(name)));
            EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(midiTune()) > 0);
            return path(name);
        }
        const auto run = examo::testing::runProgram(
            QStringLiteral("ffmpeg"), QString::fromStdString("-v error -y " + ffmpeg)
                                              .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                          << QString::fromStdString(path(name)));
        EXPECT_TRUE(run.ok) << run.errors.toStdString();
        return path(name);
    }
    std::uint32_t send(const std::string& command) {
        std::string reply(128, ' ');
        return service.send(command, reply, 128);
    }
    std::uint32_t open(const char* device, const std::string& file, const char* alias = "movie") {
        return send(std::string("open ") + device + "!" + examo::encodeShortPath(file) + " alias " +
                    alias);
    }
    // The reply of a command that must succeed, cut at its NUL.
    std::string ask(const std::string& command) {
        std::string reply(128, ' ');
        EXPECT_EQ(service.send(command, reply, 128), 0u) << command;
        return reply.substr(0, reply.find('\0'));
    }

    QTemporaryDir dir;
    examo::GstEnvironment env;
    GstMediaCommandService service{env};
};

struct Kind {
    const char* name;
    const char* file;
    std::string ffmpeg; // empty: the MIDI tune
    const char* device;
    const char* alias; // "movie" or "song " as the caller writes it
};

class EveryKind : public GstMediaTest, public ::testing::WithParamInterface<Kind> {};

} // namespace

TEST_P(EveryKind, OpensShowsItsSizePlaysToItsEndAndCloses) {
    const Kind& kind = GetParam();
    const std::string alias = kind.alias[4] == ' ' ? "song" : "movie";
    ASSERT_EQ(open(kind.device, make(kind.file, kind.ffmpeg), kind.alias), 0u);
    if (alias == "movie") {
        EXPECT_EQ(ask("where movie source"), "0 0 160 120");
        EXPECT_EQ(send("window movie handle 4711"), 0u); // without a display only kept
    }
    ASSERT_EQ(send("play " + alias), 0u);
    EXPECT_TRUE(waitFor([&] { return service.reachedEnd(alias); }));
    EXPECT_TRUE(service.isOpen(alias)); // open at its end until closed
    EXPECT_EQ(send("close all"), 0u);
    EXPECT_FALSE(service.isOpen(alias));
    EXPECT_NE(send("play " + alias), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Media, EveryKind,
    ::testing::Values(
        Kind{"MotionJpeg", "mjpeg.avi", std::string(kTone) + kBars + "-c:v mjpeg -c:a pcm_s16le",
             "AVIvideo", "movie"},
        Kind{"Video1", "video1.avi", std::string(kBars) + "-c:v msvideo1", "AVIvideo", "movie"},
        Kind{"Cinepak", "cinepak.avi", std::string(kBars) + "-c:v cinepak", "AVIvideo", "movie"},
        // Bottom-up BGR as AVI stores it, and no aspect ratio set.
        Kind{"Uncompressed", "raw.avi", std::string(kBars) + "-c:v rawvideo -pix_fmt bgr24",
             "AVIvideo", "movie"},
        Kind{"Mpeg1", "clip.mpg",
             std::string(kTone) + kBars + "-c:v mpeg1video -r 25 -c:a mp2 -f mpeg", "MPEGvideo",
             "movie"},
        Kind{"Mp3", "tune.mp3", std::string(kTone) + "-c:a libmp3lame", "MPEGvideo", "song "},
        Kind{"Midi", "tune.mid", "", "sequencer", "song "}),
    [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

TEST_F(GstMediaTest, PutStretchesThePictureAndRepliesEndInANul) {
    // All red, so that any border added to keep the aspect ratio would show.
    ASSERT_EQ(
        open("AVIvideo", make("red.avi", "-f lavfi -i color=c=red:size=160x120:rate=10:duration=1 "
                                         "-c:v mjpeg")),
        0u);
    EXPECT_EQ(ask("capability movie can stretch"), "true");
    // As the caller writes numbers: a leading blank, or a minus sign.
    EXPECT_EQ(send("put movie destination at -40  20  400  200"), 0u);
    EXPECT_EQ(send("put movie destination at 0 0  320  120"), 0u);
    ASSERT_EQ(send("play movie"), 0u);
    const auto shown = [&] { return service.shownPicture("movie"); };
    ASSERT_TRUE(waitFor([&] { return shown() && shown()->size.width == 320; }));
    EXPECT_EQ(shown()->size.height, 120);
    for (const int x : {0, 160, 319}) {
        const std::uint8_t* pixel = &shown()->rgb[(60 * 320 + x) * 3];
        EXPECT_TRUE(pixel[0] > 200 && pixel[1] < 60 && pixel[2] < 60) << "x " << x;
    }
    std::string small(8, ' ');
    ASSERT_EQ(service.send("where movie source", small, 8), 0u);
    EXPECT_EQ(small, std::string("0 0 160\0", 8));
    EXPECT_EQ(ask("play movie"), ""); // no answer: an empty reply
}

TEST_F(GstMediaTest, WhatCannotBePlayedIsRefusedAndReopeningReplaces) {
    QFile text(QString::fromStdString(path("notes.avi")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a movie at all") > 0);
    text.close();
    for (const auto& file : {path("missing.avi"), path("notes.avi"), dir.path().toStdString()})
        EXPECT_NE(open("AVIvideo", file), 0u) << file;
    EXPECT_NE(open("sequencer", path("notes.avi"), "song "), 0u);
    EXPECT_NE(send("where movie source"), 0u);

    ASSERT_EQ(open("AVIvideo", make("bars.avi", std::string(kBars) + "-c:v mjpeg")), 0u);
    for (const char* command :
         {"", "play", "stop movie", "open cdaudio!/a alias movie", "where movie destination",
          "window movie handle x", "capability movie can eject", "close movie now",
          "put movie destination at 0 0 0 120", "put movie destination at 0 0 160"})
        EXPECT_NE(send(command), 0u) << command;
    const std::string large =
        make("large.avi", "-f lavfi -i testsrc=size=320x240:rate=10:duration=1 -c:v msvideo1");
    ASSERT_EQ(open("AVIvideo", large), 0u);
    EXPECT_EQ(ask("where movie source"), "0 0 320 240");
    // A failed open leaves nothing open under its alias.
    EXPECT_NE(open("AVIvideo", path("none.avi")), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
}
