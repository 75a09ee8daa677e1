// How long "open" takes for each kind of media file, from the command to a pipeline that has
// shown its first picture and sound (PAUSED), beside GStreamer's own command-line tool on the
// same file.
//
// gst-launch-1.0 cannot stop at PAUSED, so it runs playbin with sinks that end the stream after
// their first buffer: the time to the first decoded buffer of every stream, which is what a
// preroll waits for. Its wall time includes starting the process and loading GStreamer's
// plugin registry, so the time of an empty pipeline (fakesrc num-buffers=1 ! fakesink) is
// printed too; subtract it to compare the decoding work alone. Each gst-launch run also loads
// the decoders' plugins afresh, which the service does once per program.
//
// Runs on silent sinks without a display, like the tests. Files go to a folder under /tmp.
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;

struct Kind {
    const char* file;
    const char* ffmpeg; // the arguments between the inputs' options and the output name
    const char* device;
    const char* alias;
};

const char* const kBars = "-f lavfi -i testsrc=size=320x240:rate=25:duration=5";
const char* const kTone = "-f lavfi -i sine=frequency=440:duration=5";

constexpr Kind kKinds[] = {
    {.file = "mjpeg.avi",
     .ffmpeg = "-c:v mjpeg -c:a pcm_s16le",
     .device = "AVIvideo",
     .alias = "movie"},
    {.file = "video1.avi", .ffmpeg = "-c:v msvideo1", .device = "AVIvideo", .alias = "movie"},
    {.file = "cinepak.avi", .ffmpeg = "-c:v cinepak", .device = "AVIvideo", .alias = "movie"},
    {.file = "raw.avi",
     .ffmpeg = "-c:v rawvideo -pix_fmt bgr24",
     .device = "AVIvideo",
     .alias = "movie"},
    {.file = "clip.mpg",
     .ffmpeg = "-c:v mpeg1video -c:a mp2 -f mpeg",
     .device = "MPEGvideo",
     .alias = "movie"},
    {.file = "tune.mp3", .ffmpeg = "-c:a libmp3lame", .device = "MPEGvideo", .alias = "song "},
    {.file = "tune.mid", .ffmpeg = nullptr, .device = "sequencer", .alias = "song "},
};

double milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double median(const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i)
        times.push_back(milliseconds(work));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Five seconds of a C major scale, as a format-0 MIDI file.
void writeMidi(const std::string& path) {
    std::string track("\x00\xff\x51\x03\x07\xa1\x20\x00\xc0\x00", 10);
    for (int i = 0; i < 10; ++i) {
        const char note = static_cast<char>(60 + (i * 2) % 12);
        track += std::string{'\x00', '\x90', note, 100};
        track += std::string{'\x83', '\x60', '\x80', note, 0}; // 480 ticks: half a second
    }
    track += std::string("\x00\xff\x2f\x00", 4);
    std::string file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0MTrk", 18);
    for (const int shift : {24, 16, 8, 0})
        file += static_cast<char>((track.size() >> shift) & 0xff);
    std::ofstream(path, std::ios::binary) << file << track;
}

// Makes the file with ffmpeg (the tune by hand); false when ffmpeg cannot make it.
bool makeFile(const Kind& kind, const std::string& file) {
    if (kind.ffmpeg == nullptr) {
        writeMidi(file);
        return true;
    }
    const bool video = std::string(kind.alias) == "movie";
    const bool audio = std::string(kind.ffmpeg).find("-c:a") != std::string::npos;
    const std::string inputs =
        (video ? std::string(kBars) + " " : "") + (audio ? std::string(kTone) + " " : "");
    return run("ffmpeg -v error -y " + inputs + kind.ffmpeg + " " + file);
}

// One line of the table: our open beside gst-launch-1.0 on the same file.
void measure(examo::GstMediaCommandService& service, const Kind& kind, const std::string& file,
             double empty) {
    const std::string open = std::string("open ") + kind.device + "!" +
                             examo::encodeShortPath(file) + " alias " + kind.alias;
    std::uint32_t failures = 0;
    const double opening = median([&] {
        std::string reply(128, ' ');
        failures += service.send(open, reply, 128) != 0;
        service.send("close all", reply, 128);
    });
    const double launching = median([&] {
        run("timeout 30 gst-launch-1.0 -q playbin uri=file://" + file +
            " audio-sink='fakesink num-buffers=1' video-sink='fakesink num-buffers=1'");
    });
    std::printf("%-12s %12.1f %12.1f %12.1f%s\n", kind.file, opening, launching, launching - empty,
                failures != 0 ? "  (open failed)" : "");
}

} // namespace

int main() {
    setenv("EXAMO_AUDIO", "silent", 1);
    unsetenv("DISPLAY");
    const std::filesystem::path folder = "/tmp/examo-bench-media";
    std::filesystem::create_directories(folder);

    examo::GstEnvironment env;
    examo::PercentShortPath shortPaths;
    examo::GstMediaCommandService service(env, shortPaths);
    const double empty = median([] { run("gst-launch-1.0 -q fakesrc num-buffers=1 ! fakesink"); });
    std::printf("median of %d rounds, milliseconds; gst-launch-1.0 of an empty pipeline: %.1f\n",
                kRounds, empty);
    std::printf("%-12s %12s %12s %12s\n", "file", "open", "gst-launch", "less empty");

    for (const Kind& kind : kKinds) {
        const std::string file = (folder / kind.file).string();
        if (!makeFile(kind, file)) {
            std::printf("%-12s cannot be made with ffmpeg\n", kind.file);
            continue;
        }
        measure(service, kind, file, empty);
    }
    return 0;
}
