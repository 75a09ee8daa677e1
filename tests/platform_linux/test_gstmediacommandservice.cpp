#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include "support/midifiles.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using examo::testing::waitFor;

namespace {

// One second of C major at 120 a minute on the piano, a quarter of a second a note, as MIDI.
const std::string kMidiTune =
    QByteArray::fromHex(
        "4d546864 00000006 0000 0001 01e0 4d54726b 00000032 00ff510307a120 00c000"
        "00903c64817080 3c00 0090406481708040 00 0090436481708043 00 0090486481708048 00 00ff2f00")
        .toStdString();
const std::string kBars = "-f lavfi -i testsrc=s=160x120:r=10:d=1 ";
const std::string kTone = "-f lavfi -i sine=d=1 ";

class GstMediaTest : public ::testing::Test, examo::testing::SilentAudio {
protected:
    // A blank in the folder name shows that the encoded short path is turned back.
    GstMediaTest() : dir(QDir::tempPath() + u"/examo media XXXXXX"_s) {}

    std::string path(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }
    // Made by ffmpeg from its test sources (arguments split at blanks), or else of these bytes.
    std::string make(const char* name, const std::string& source) const {
        QFile out(QString::fromStdString(path(name)));
        QStringList arguments =
            QString::fromStdString("-v error -y " + source).split(u' ', Qt::SkipEmptyParts);
        if (source.starts_with("-f "))
            EXPECT_TRUE(examo::testing::runProgram(u"ffmpeg"_s, arguments << out.fileName()).ok);
        else
            EXPECT_TRUE(out.open(QIODevice::WriteOnly) &&
                        out.write(source.c_str(), qint64(source.size())) == qint64(source.size()));
        return path(name);
    }
    std::uint32_t open(const char* device, const std::string& file, const char* alias = "movie") {
        return send(std::string("open ") + device + "!" + examo::encodeShortPath(file) + " alias " +
                    alias);
    }
    std::uint32_t send(const std::string& command) {
        std::string reply(128, ' ');
        return service.send(command, reply, 128);
    }
    // The reply of a command that must succeed, cut at its NUL.
    std::string ask(const std::string& command) {
        std::string reply(128, ' ');
        EXPECT_EQ(service.send(command, reply, 128), 0u) << command;
        return reply.substr(0, reply.find('\0'));
    }

    QTemporaryDir dir;
    examo::GstEnvironment env;
    examo::PercentShortPath shortPaths;
    examo::GstMediaCommandService service{env, shortPaths};
};

struct Kind {
    const char* file;
    std::string source; // for make()
    const char* device;
    const char* alias = "movie"; // or "song ", as the caller writes it
};

class EveryKind : public GstMediaTest, public ::testing::WithParamInterface<Kind> {};

} // namespace

TEST_P(EveryKind, OpensShowsItsSizePlaysToItsEndAndCloses) {
    const Kind& kind = GetParam();
    const std::string alias = kind.alias == std::string("movie") ? "movie" : "song";
    ASSERT_EQ(open(kind.device, make(kind.file, kind.source), kind.alias), 0u);
    if (alias == "movie") {
        EXPECT_EQ(ask("where movie source"), "0 0 160 120");
        EXPECT_EQ(send("window movie handle 4711"), 346u); // names no widget
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
    ::testing::Values(Kind{"mjpeg.avi", kTone + kBars + "-c:v mjpeg -c:a pcm_s16le", "AVIvideo"},
                      Kind{"video1.avi", kBars + "-c:v msvideo1", "AVIvideo"},
                      Kind{"cinepak.avi", kBars + "-c:v cinepak", "AVIvideo"},
                      // Bottom-up BGR as AVI stores it, and no aspect ratio set.
                      Kind{"raw.avi", kBars + "-c:v rawvideo -pix_fmt bgr24", "AVIvideo"},
                      Kind{"clip.mpg", kTone + kBars + "-c:v mpeg1video -r 25 -c:a mp2 -f mpeg",
                           "MPEGvideo"},
                      Kind{"tune.mp3", kTone + "-c:a libmp3lame", "MPEGvideo", "song "},
                      Kind{"tune.mid", kMidiTune, "sequencer", "song "}),
    [](const auto& info) { return QString::fromUtf8(info.param.file).remove(u'.').toStdString(); });

TEST_F(GstMediaTest, PutStretchesThePictureToTheRectangle) {
    // All red, so that any border added to keep the aspect ratio would show.
    ASSERT_EQ(open("AVIvideo", make("red.avi", "-f lavfi -i color=red:s=160x120:d=1 -c:v mjpeg")),
              0u);
    EXPECT_EQ(ask("capability movie can stretch"), "true");
    // As the caller writes numbers: a leading blank, or a minus sign.
    EXPECT_EQ(send("put movie destination at -40  20  400  200"), 0u);
    EXPECT_EQ(send("put movie destination at 0 0  320  120"), 0u);
    ASSERT_EQ(send("play movie"), 0u);
    std::optional<examo::GstMediaCommandService::Picture> picture;
    ASSERT_TRUE(waitFor(
        [&] { return (picture = service.shownPicture("movie")) && picture->size.width == 320; }));
    EXPECT_EQ(picture->size.height, 120);
    for (const int x : {0, 160, 319}) {
        const std::uint8_t* pixel = &picture->rgb[(60 * 320 + x) * 3];
        EXPECT_TRUE(pixel[0] > 200 && pixel[1] < 60 && pixel[2] < 60) << "x " << x;
    }
    EXPECT_EQ(ask("play movie"), ""); // no answer: an empty reply
}

TEST_F(GstMediaTest, WhatCannotBePlayedIsRefusedAndReopeningReplaces) {
    const std::string text = make("notes.avi", "not a movie at all");
    for (const auto& file : {path("missing.avi"), text, dir.path().toStdString()})
        EXPECT_NE(open("AVIvideo", file), 0u) << file;
    EXPECT_NE(open("sequencer", text, "song "), 0u);
    EXPECT_NE(send("where movie source"), 0u);
    ASSERT_EQ(open("AVIvideo", make("bars.avi", kBars + "-c:v mjpeg")), 0u);
    for (const char* command :
         {"", "play", "stop movie", "open cdaudio!/a alias movie", "where movie destination",
          "window movie handle x", "capability movie can eject", "close movie now",
          "put movie destination at 0 0 0 120", "put movie destination at 0 0 160"})
        EXPECT_NE(send(command), 0u) << command;
    ASSERT_EQ(
        open("AVIvideo", make("large.avi", "-f lavfi -i testsrc=s=320x240:d=1 -c:v msvideo1")), 0u);
    EXPECT_EQ(ask("where movie source"), "0 0 320 240");
    // A failed open leaves nothing open under its alias.
    EXPECT_NE(open("AVIvideo", path("none.avi")), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
}

TEST_F(GstMediaTest, TunePathPlaysTheSoundOfAMovieWithoutShowingIt) {
    // A movie named as a tune, or given to the MP3 path: the sound plays, or the open fails;
    // there is no display here that a window could be opened on. A tune's pictures are not
    // even decoded.
    const std::string avi = make("movie.mid", kTone + kBars + "-c:v mjpeg -c:a pcm_s16le -f avi");
    const std::string mpeg =
        make("movie.mp3", kTone + kBars + "-c:v mpeg1video -r 25 -c:a mp2 -f mpeg");
    for (const auto& [device, file] : {std::pair{"sequencer", avi}, std::pair{"MPEGvideo", mpeg},
                                       std::pair{"sequencer", mpeg}}) {
        if (open(device, file, "song ") != 0)
            continue;
        ASSERT_EQ(send("play song"), 0u) << file;
        EXPECT_TRUE(waitFor([&] { return service.reachedEnd("song"); })) << file;
        if (device == std::string("sequencer")) {
            EXPECT_FALSE(service.shownPicture("song").has_value());
        }
        EXPECT_EQ(send("close all"), 0u);
    }
}

TEST_F(GstMediaTest, EveryPathTheFileSystemAllowsPlays) {
    const std::string original = make("bars.avi", kBars + "-c:v mjpeg");
    // Past the 255 bytes a short form may have, with blanks on the way.
    std::string deep = dir.path().toStdString();
    while (deep.size() < 300)
        deep += "/a folder of the class 7b";
    std::filesystem::create_directories(deep);
    for (const std::string& name :
         {deep + "/bars.avi", path("tab\there.avi"), path("100% sure %20 !bang!.avi"),
          path("Ünïcødé 日本語 Ελληνικά.avi"), path("two\nlines.avi")}) {
        std::filesystem::copy_file(original, name);
        std::string buffer(255, ' ');
        const std::uint32_t length = shortPaths.getShortPathName(name, buffer, 255);
        ASSERT_GT(length, 0u) << name;
        ASSERT_EQ(send("open AVIvideo!" + buffer.substr(0, length) + " alias movie"), 0u) << name;
        EXPECT_EQ(ask("where movie source"), "0 0 160 120");
        ASSERT_EQ(send("play movie"), 0u);
        EXPECT_TRUE(waitFor([&] { return service.reachedEnd("movie"); })) << name;
        EXPECT_EQ(send("close all"), 0u);
    }
    // A token stands only for what it was given for.
    EXPECT_EQ(send("open AVIvideo!path#99 alias movie"),
              examo::GstMediaCommandService::kFileNotFound);
}

// GStreamer's MIDI parser never finishes some files (measured with gst-launch); the open must
// still come back, refusing them, while every file the parser can finish still plays.
TEST_F(GstMediaTest, MidiFilesThatWouldFreezeTheParserAreRefusedAndGoodOnesPlay) {
    for (const auto& c : examo::testing::midi::files()) {
        const std::uint32_t result = open("sequencer", make(c.name.c_str(), c.bytes), "song ");
        EXPECT_EQ(result == 0, c.plays) << c.name << " " << c.bytes.size() << " bytes";
        send("close all");
    }
}
