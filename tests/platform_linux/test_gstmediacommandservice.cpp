#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

using examo::GstEnvironment;
using examo::GstMediaCommandService;
using Size = GstMediaCommandService::Size;

namespace {

// Far longer than any clip here plays, for a busy machine.
constexpr std::chrono::seconds kPatience{30};

bool waitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// One second of C major, one note after the other, as a format-0 MIDI file.
QByteArray midiTune() {
    QByteArray track;
    track.append("\x00\xff\x51\x03\x07\xa1\x20", 7); // 120 beats a minute
    track.append("\x00\xc0\x00", 3);                 // piano
    for (const char note : {60, 64, 67, 72}) {
        // 240 ticks of 480 a beat: a quarter of a second each
        const char on[] = {0x00, static_cast<char>(0x90), note, 100};
        const char off[] = {static_cast<char>(0x81), 0x70, static_cast<char>(0x80), note, 0};
        track.append(on, sizeof on);
        track.append(off, sizeof off);
    }
    track.append("\x00\xff\x2f\x00", 4);
    QByteArray file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0", 14);
    file.append("MTrk");
    const auto n = static_cast<quint32>(track.size());
    for (const int shift : {24, 16, 8, 0})
        file.append(static_cast<char>((n >> shift) & 0xff));
    return file + track;
}

// Sound never goes to a device, whatever the machine has.
struct SilentAudio {
    SilentAudio() { setenv("EXAMO_AUDIO", "silent", 1); }
};

class GstMediaCommandServiceTest : public ::testing::Test, private SilentAudio {
protected:
    // A blank in the folder name shows that the encoded short path is turned back.
    GstMediaCommandServiceTest() : dir(QDir::tempPath() + QStringLiteral("/examo media XXXXXX")) {}

    std::string path(const char* name) const {
        return dir.filePath(QString::fromUtf8(name)).toStdString();
    }

    // Makes a file with ffmpeg from its test sources: a second of colour bars, a tone or both.
    std::string make(const char* name, const QStringList& arguments) const {
        QProcess ffmpeg;
        ffmpeg.start(
            QStringLiteral("ffmpeg"),
            QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y")} +
                arguments + QStringList{QString::fromStdString(path(name))});
        const bool done = ffmpeg.waitForFinished(60000);
        EXPECT_TRUE(done && ffmpeg.exitCode() == 0) << ffmpeg.readAllStandardError().data();
        return path(name);
    }

    std::string makeMovie(const char* name, const char* codec, const char* size = "160x120") {
        return make(
            name,
            {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
             QStringLiteral("testsrc=size=%1:rate=10:duration=1").arg(QString::fromUtf8(size)),
             QStringLiteral("-c:v"), QString::fromUtf8(codec)});
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

    // The reply text of a command that must succeed.
    std::string ask(const std::string& command) {
        std::string reply(128, ' ');
        EXPECT_EQ(service.send(command, reply, 128), 0u) << command;
        return reply.substr(0, reply.find('\0'));
    }

    static std::string shortPath(const std::string& file) { return examo::encodeShortPath(file); }

    QTemporaryDir dir;
    GstEnvironment env;
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

QStringList bars(const char* codec, QStringList more = {}) {
    return QStringList{
               QStringLiteral("-f"),   QStringLiteral("lavfi"),
               QStringLiteral("-i"),   QStringLiteral("testsrc=size=160x120:rate=10:duration=1"),
               QStringLiteral("-c:v"), QString::fromUtf8(codec)} +
           more;
}

QStringList tone() {
    return {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("sine=frequency=440:duration=1")};
}

class EveryKind : public GstMediaCommandServiceTest, public ::testing::WithParamInterface<Kind> {};

} // namespace

TEST_P(EveryKind, OpensShowsItsSizePlaysToItsEndAndCloses) {
    const Kind& kind = GetParam();
    const std::string file =
        kind.ffmpeg.isEmpty() ? write(kind.file, midiTune()) : make(kind.file, kind.ffmpeg);
    const bool movie = std::string(kind.alias) == "movie";
    const std::string alias = movie ? "movie" : "song";

    ASSERT_EQ(
        send(std::string("open ") + kind.device + "!" + shortPath(file) + " alias " + kind.alias),
        0u);
    EXPECT_TRUE(service.isOpen(alias));
    if (movie) {
        EXPECT_EQ(ask("where movie source"), "0 0 160 120");
        // Without a display the handle is only kept.
        EXPECT_EQ(send("window movie handle 4711"), 0u);
    }
    ASSERT_EQ(send("play " + alias), 0u);
    // The silent sinks keep real time, so a second's clip has not ended yet.
    EXPECT_FALSE(service.reachedEnd(alias));
    EXPECT_TRUE(waitFor([&] { return service.reachedEnd(alias); }));
    // It stays open at its end until it is closed.
    EXPECT_TRUE(service.isOpen(alias));

    EXPECT_EQ(send("close all"), 0u);
    EXPECT_FALSE(service.isOpen(alias));
    EXPECT_NE(send("window movie handle 4711"), 0u);
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

TEST_F(GstMediaCommandServiceTest, PutStretchesThePictureToTheRectangle) {
    // All red, so that any border added to keep the aspect ratio would show.
    const std::string file =
        make("red.avi", {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                         QStringLiteral("color=c=red:size=160x120:rate=10:duration=1"),
                         QStringLiteral("-c:v"), QStringLiteral("mjpeg")});
    ASSERT_EQ(send("open AVIvideo!" + shortPath(file) + " alias movie"), 0u);
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
    ASSERT_TRUE(picture);
    for (const int x : {0, 160, 319}) {
        const std::uint8_t* pixel = &picture->rgb[(60 * 320 + x) * 3];
        EXPECT_TRUE(pixel[0] > 200 && pixel[1] < 60 && pixel[2] < 60)
            << "x " << x << ": " << int(pixel[0]) << " " << int(pixel[1]) << " " << int(pixel[2]);
    }
    // The source keeps its own size.
    EXPECT_EQ(ask("where movie source"), "0 0 160 120");

    EXPECT_NE(send("put movie destination at 0 0 0 120"), 0u);
    EXPECT_NE(send("put movie destination at 0 0 wide 120"), 0u);
    EXPECT_NE(send("put movie destination at 0 0 160"), 0u);
}

TEST_F(GstMediaCommandServiceTest, OpeningAnAliasAgainReplacesItsMedium) {
    const std::string small = makeMovie("small.avi", "msvideo1");
    const std::string large = makeMovie("large.avi", "msvideo1", "320x240");
    ASSERT_EQ(send("open AVIvideo!" + shortPath(small) + " alias movie"), 0u);
    ASSERT_EQ(send("open AVIvideo!" + shortPath(large) + " alias movie"), 0u);
    EXPECT_EQ(ask("where movie source"), "0 0 320 240");

    // A failed open leaves nothing open under its alias.
    EXPECT_NE(send("open AVIvideo!" + shortPath(path("none.avi")) + " alias movie"), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
}

TEST_F(GstMediaCommandServiceTest, CloseAllFreesMoviesAndTunes) {
    const std::string movie = makeMovie("bars.avi", "cinepak");
    const std::string tune = write("tune.mid", midiTune());
    ASSERT_EQ(send("open AVIvideo!" + shortPath(movie) + " alias movie"), 0u);
    ASSERT_EQ(send("open sequencer!" + shortPath(tune) + " alias song "), 0u);
    ASSERT_EQ(send("play song"), 0u);
    EXPECT_EQ(send("close all"), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
    EXPECT_FALSE(service.isOpen("song"));
    EXPECT_EQ(send("close all"), 0u);
}

TEST_F(GstMediaCommandServiceTest, WhatCannotBePlayedFailsTheOpen) {
    const std::string text = write("notes.avi", "not a movie at all");
    EXPECT_NE(send("open AVIvideo!error alias movie"), 0u);
    EXPECT_NE(send("open AVIvideo!" + shortPath(path("missing.avi")) + " alias movie"), 0u);
    EXPECT_NE(send("open AVIvideo!" + shortPath(text) + " alias movie"), 0u);
    EXPECT_NE(send("open sequencer!" + shortPath(text) + " alias song "), 0u);
    EXPECT_NE(send("open AVIvideo!" + dir.path().toStdString() + " alias movie"), 0u);
    EXPECT_FALSE(service.isOpen("movie"));
    EXPECT_FALSE(service.isOpen("song"));
    EXPECT_NE(send("window movie handle 4711"), 0u);
    EXPECT_NE(send("where movie source"), 0u);
    EXPECT_NE(send("capability movie can stretch"), 0u);
    EXPECT_NE(send("put movie destination at 0 0 320 240"), 0u);
}

TEST_F(GstMediaCommandServiceTest, UnknownCommandsFail) {
    const std::string file = makeMovie("bars.avi", "mjpeg");
    ASSERT_EQ(send("open AVIvideo!" + shortPath(file) + " alias movie"), 0u);
    for (const char* command :
         {"", "play", "stop movie", "open cdaudio!/a alias movie", "open /a.avi alias movie",
          "where movie destination", "window movie 4711", "window movie handle -1",
          "window movie handle x", "capability movie can eject", "close movie now"})
        EXPECT_NE(send(command), 0u) << command;
    EXPECT_TRUE(service.isOpen("movie"));
}

TEST_F(GstMediaCommandServiceTest, RepliesEndWithANulInsideTheBuffer) {
    const std::string file = makeMovie("bars.avi", "mjpeg");
    ASSERT_EQ(send("open AVIvideo!" + shortPath(file) + " alias movie"), 0u);
    std::string reply(128, ' ');
    ASSERT_EQ(service.send("where movie source", reply, 128), 0u);
    EXPECT_EQ(reply.size(), 128u);
    EXPECT_EQ(reply.substr(0, 12), std::string("0 0 160 120\0", 12));

    std::string small(8, ' ');
    ASSERT_EQ(service.send("where movie source", small, 8), 0u);
    EXPECT_EQ(small, std::string("0 0 160\0", 8));

    // A command without an answer leaves an empty reply.
    ASSERT_EQ(service.send("play movie", reply, 128), 0u);
    EXPECT_EQ(reply[0], '\0');
}
