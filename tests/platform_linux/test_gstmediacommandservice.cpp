#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using examo::GstMediaCommandService;
using Size = GstMediaCommandService::Size;

namespace {

// Polls until done; far longer than any clip here plays, for a busy machine.
bool waitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// One second of C major, one note after the other, as a format-0 MIDI file.
QByteArray midiTune() {
    QByteArray track("\x00\xff\x51\x03\x07\xa1\x20\x00\xc0\x00", 10); // 120 a minute, piano
    for (const char note : {60, 64, 67, 72})                          // a quarter of a second each
        track.append(QByteArray("\x00\x90", 2) + note + QByteArray("\x64\x81\x70\x80", 4) + note +
                     QByteArray(1, '\0'));
    track.append("\x00\xff\x2f\x00", 4);
    QByteArray file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk", 18);
    for (const int shift : {24, 16, 8, 0})
        file.append(static_cast<char>((track.size() >> shift) & 0xff));
    return file + track;
}

QStringList source(const char* lavfi) {
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QString::fromUtf8(lavfi)};
}
QStringList bars(const char* codec, QStringList more = {}) {
    return source("testsrc=size=160x120:rate=10:duration=1") +
           QStringList{QStringLiteral("-c:v"), QString::fromUtf8(codec)} + more;
}
QStringList tone() {
    return source("sine=frequency=440:duration=1");
}

class GstMediaTest : public ::testing::Test, examo::testing::SilentAudio {
protected:
    // A blank in the folder name shows that the encoded short path is turned back.
    GstMediaTest() : dir(QDir::tempPath() + QStringLiteral("/examo media XXXXXX")) {}

    std::string path(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }
    // Makes a file with ffmpeg from its test sources.
    std::string make(const char* name, const QStringList& arguments) const {
        const auto run = examo::testing::runProgram(
            QStringLiteral("ffmpeg"),
            QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} +
                arguments + QStringList{QString::fromStdString(path(name))});
        EXPECT_TRUE(run.ok) << run.errors.toStdString();
        return path(name);
    }
    std::string write(const char* name, const QByteArray& bytes) const {
        QFile out(QString::fromStdString(path(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path(name);
    }
    std::uint32_t send(const std::string& command) {
        std::string reply(128, ' ');
        return service.send(command, reply, 128);
    }
    std::uint32_t open(const char* device, const std::string& file, const char* alias) {
        return send(std::string("open ") + device + "!" + examo::encodeShortPath(file) + " alias " +
                    alias);
    }
    // The reply text of a command that must succeed.
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
    QStringList ffmpeg; // empty: the MIDI tune
    const char* device;
    const char* alias; // "movie" or "song "
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

class EveryKind : public GstMediaTest, public ::testing::WithParamInterface<Kind> {};

} // namespace

TEST_P(EveryKind, OpensShowsItsSizePlaysToItsEndAndCloses) {
    const Kind& kind = GetParam();
    const std::string file =
        kind.ffmpeg.isEmpty() ? write(kind.file, midiTune()) : make(kind.file, kind.ffmpeg);
    const bool movie = std::string(kind.alias) == "movie";
    const std::string alias = movie ? "movie" : "song";

    ASSERT_EQ(open(kind.device, file, kind.alias), 0u);
    if (movie) {
        EXPECT_EQ(ask("where movie source"), "0 0 160 120");
        EXPECT_EQ(send("window movie handle 4711"), 0u); // without a display only kept
    }
    ASSERT_EQ(send("play " + alias), 0u);
    // The silent sinks keep real time, so a second's clip has not ended yet.
    EXPECT_FALSE(service.reachedEnd(alias));
    EXPECT_TRUE(waitFor([&] { return service.reachedEnd(alias); }));
    EXPECT_TRUE(service.isOpen(alias)); // open at its end until closed

    EXPECT_EQ(send("close all"), 0u);
    EXPECT_FALSE(service.isOpen(alias));
    EXPECT_NE(send("play " + alias), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Media, EveryKind,
    ::testing::Values(
        Kind{"MotionJpeg", "mjpeg.avi",
             tone() + bars("mjpeg", {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}),
             "AVIvideo", "movie"},
        Kind{"Video1", "video1.avi", bars("msvideo1"), "AVIvideo", "movie"},
        Kind{"Cinepak", "cinepak.avi", bars("cinepak"), "AVIvideo", "movie"},
        // Bottom-up BGR as AVI stores it, and no aspect ratio set.
        Kind{"Uncompressed", "raw.avi",
             bars("rawvideo", {QStringLiteral("-pix_fmt"), QStringLiteral("bgr24")}), "AVIvideo",
             "movie"},
        Kind{"Mpeg1", "clip.mpg",
             tone() + bars("mpeg1video",
                           {QStringLiteral("-r"), QStringLiteral("25"), QStringLiteral("-c:a"),
                            QStringLiteral("mp2"), QStringLiteral("-f"), QStringLiteral("mpeg")}),
             "MPEGvideo", "movie"},
        Kind{"Mp3", "tune.mp3",
             tone() + QStringList{QStringLiteral("-c:a"), QStringLiteral("libmp3lame")},
             "MPEGvideo", "song "},
        Kind{"Midi", "tune.mid", {}, "sequencer", "song "}),
    [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.name); });

TEST_F(GstMediaTest, PutStretchesThePictureToTheRectangle) {
    // All red, so that any border added to keep the aspect ratio would show.
    const std::string file =
        make("red.avi", source("color=c=red:size=160x120:rate=10:duration=1") +
                            QStringList{QStringLiteral("-c:v"), QStringLiteral("mjpeg")});
    ASSERT_EQ(open("AVIvideo", file, "movie"), 0u);
    const auto shownSize = [&] {
        const auto picture = service.shownPicture("movie");
        return picture ? picture->size : Size{};
    };
    EXPECT_EQ(shownSize(), (Size{160, 120}));
    EXPECT_EQ(ask("capability movie can stretch"), "true");
    // As the caller writes numbers: a leading blank, or a minus sign.
    EXPECT_EQ(send("put movie destination at -40  20  400  200"), 0u);
    EXPECT_EQ(send("put movie destination at 0 0  320  120"), 0u);
    ASSERT_EQ(send("play movie"), 0u);
    ASSERT_TRUE(waitFor([&] { return shownSize() == Size{320, 120}; }));
    const auto picture = service.shownPicture("movie");
    for (const int x : {0, 160, 319}) {
        const std::uint8_t* pixel = &picture->rgb[(60 * 320 + x) * 3];
        EXPECT_TRUE(pixel[0] > 200 && pixel[1] < 60 && pixel[2] < 60) << "x " << x;
    }
    EXPECT_EQ(ask("where movie source"), "0 0 160 120");
}

TEST_F(GstMediaTest, OpeningAnAliasAgainReplacesItsMediumAndCloseAllFreesBoth) {
    ASSERT_EQ(open("AVIvideo", make("small.avi", bars("msvideo1")), "movie"), 0u);
    const std::string large =
        make("large.avi", source("testsrc=size=320x240:rate=10:duration=1") +
                              QStringList{QStringLiteral("-c:v"), QStringLiteral("msvideo1")});
    ASSERT_EQ(open("AVIvideo", large, "movie"), 0u);
    EXPECT_EQ(ask("where movie source"), "0 0 320 240");
    ASSERT_EQ(open("sequencer", write("tune.mid", midiTune()), "song "), 0u);
    ASSERT_EQ(send("play song"), 0u);
    EXPECT_EQ(send("close all"), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
    EXPECT_FALSE(service.isOpen("song"));
    EXPECT_EQ(send("close all"), 0u);
    // A failed open leaves nothing open under its alias.
    ASSERT_EQ(open("AVIvideo", large, "movie"), 0u);
    EXPECT_NE(open("AVIvideo", path("none.avi"), "movie"), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
}

TEST_F(GstMediaTest, WhatCannotBePlayedOrIsNoKnownCommandFails) {
    const std::string text = write("notes.avi", "not a movie at all");
    EXPECT_NE(send("open AVIvideo!error alias movie"), 0u);
    EXPECT_NE(open("AVIvideo", path("missing.avi"), "movie"), 0u);
    EXPECT_NE(open("AVIvideo", text, "movie"), 0u);
    EXPECT_NE(open("sequencer", text, "song "), 0u);
    EXPECT_NE(send("open AVIvideo!" + dir.path().toStdString() + " alias movie"), 0u);
    for (const char* command : {"window movie handle 4711", "where movie source",
                                "capability movie can stretch", "put movie destination at 0 0 9 9"})
        EXPECT_NE(send(command), 0u) << command;

    ASSERT_EQ(open("AVIvideo", make("bars.avi", bars("mjpeg")), "movie"), 0u);
    for (const char* command :
         {"", "play", "stop movie", "open cdaudio!/a alias movie", "open /a.avi alias movie",
          "where movie destination", "window movie 4711", "window movie handle -1",
          "window movie handle x", "capability movie can eject", "close movie now",
          "put movie destination at 0 0 0 120", "put movie destination at 0 0 wide 120",
          "put movie destination at 0 0 160"})
        EXPECT_NE(send(command), 0u) << command;
    EXPECT_TRUE(service.isOpen("movie"));
}

TEST_F(GstMediaTest, RepliesEndWithANulInsideTheBuffer) {
    ASSERT_EQ(open("AVIvideo", make("bars.avi", bars("mjpeg")), "movie"), 0u);
    std::string reply(128, ' ');
    ASSERT_EQ(service.send("where movie source", reply, 128), 0u);
    EXPECT_EQ(reply.size(), 128u);
    EXPECT_EQ(reply.substr(0, 12), std::string("0 0 160 120\0", 12));
    std::string small(8, ' ');
    ASSERT_EQ(service.send("where movie source", small, 8), 0u);
    EXPECT_EQ(small, std::string("0 0 160\0", 8));
    ASSERT_EQ(service.send("play movie", reply, 128), 0u); // no answer: an empty reply
    EXPECT_EQ(reply[0], '\0');
}
