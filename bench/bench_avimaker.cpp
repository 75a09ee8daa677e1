// Writing a movie of 300 bitmaps of 640x480 the way the AVI maker does (each frame read from
// its file with cDIB and handed to the FFmpeg AVI library, one at a time), beside the ffmpeg
// command-line tool encoding the same files with the same codec. Both run as child processes
// of this one, so each gets its own wall time and peak memory (maximum resident set size).
// The AVI maker's peak is also given for a tenth of the frames: memory that does not grow with
// the movie's length stays the same.
//
//   bench_avimaker [codec ...]    codecs: rawvideo msvideo1 cinepak mjpeg mpeg4 ffv1
//
// Without codecs every one but Cinepak runs; FFmpeg's Cinepak encoder takes more than half a
// second a frame, so 300 frames take minutes. Files go to a folder under /tmp.
#include "avimaker/cdib.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "printeddialogs.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 300;
constexpr int kRate = 6;

namespace fs = std::filesystem;

std::string frameName(const fs::path& folder, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame%03d.bmp", i);
    return (folder / name).string();
}

// Four coloured quarters with a soft diagonal ripple and a square moving across: enough
// detail and motion for the encoders to have work.
void writeFrame(const std::string& path, int index) {
    const std::size_t stride = (kWidth * 3 + 3) / 4 * 4;
    std::vector<unsigned char> file(54 + stride * kHeight, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, kWidth);
    put32(22, kHeight);
    file[26] = 1;
    file[28] = 24;
    put32(34, static_cast<std::uint32_t>(stride * kHeight));
    for (int row = 0; row < kHeight; ++row) {
        const int y = kHeight - 1 - row;
        for (int x = 0; x < kWidth; ++x) {
            const bool right = x >= kWidth / 2, low = y >= kHeight / 2;
            int r = right ? (low ? 240 : 30) : (low ? 40 : 220);
            int g = right ? (low ? 220 : 200) : (low ? 60 : 30);
            int b = right ? (low ? 40 : 60) : (low ? 220 : 30);
            const int ripple = ((x + y + index * 4) % 32) - 16;
            const int square = (index * 2) % (kWidth - 64);
            if (x >= square && x < square + 64 && y >= 40 && y < 104)
                r = g = b = 255;
            unsigned char* p = &file[54 + row * stride + 3 * x];
            p[0] = static_cast<unsigned char>(std::clamp(b + ripple, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(g + ripple, 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(r + ripple, 0, 255));
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

// The child's part: the AVI maker's calls, in its order, on the first count frames.
int writeMovie(const std::string& codec, const fs::path& folder, const std::string& movie,
               int count) {
    examo::bench::PrintedDialogs dialogs; // messages of cDIB go to the terminal
    examo::FfmpegAviFileLibrary avi(
        [&](const examo::AviCompressionRequest&, examo::AviCompressOptions& options) {
            options = {.codec = codec,
                       .keyFrameEvery = 0,
                       .bytesPerSecond = 0,
                       .flags = examo::avicompress::kValid};
            return true;
        });
    examo::cDIB dib(dialogs);
    if (!dib.CreateFromFile(frameName(folder, 0)))
        return 1;
    examo::AviFileHandle file = 0;
    examo::AviStreamHandle stream = 0, compressed = 0;
    examo::AviCompressOptions options;
    const examo::AviStreamInfo info{
        .fccType = examo::fourCC("vids"),
        .fccHandler = 0,
        .scale = 1,
        .rate = kRate,
        .suggestedBufferSize = static_cast<std::uint32_t>(dib.SizeImage()),
        .frame = {.left = 0, .top = 0, .right = dib.Width(), .bottom = dib.Height()}};
    long failed = avi.fileOpen(file, movie, examo::avimode::kWrite | examo::avimode::kCreate);
    failed = failed ? failed : avi.fileCreateStream(file, stream, info);
    failed = failed ? failed : (avi.saveOptions(0, 3, stream, options) == 1 ? 0 : 1);
    failed = failed ? failed : avi.makeCompressedStream(compressed, stream, options);
    failed = failed ? failed : avi.streamSetFormat(compressed, 0, dib.BitmapInfo());
    for (int i = 0; !failed && i < count; ++i) {
        dib.CreateFromFile(frameName(folder, i));
        failed = avi.streamWrite(compressed, i, 1, dib.Bits(), examo::kAviKeyFrame);
    }
    avi.saveOptionsFree(options);
    for (const auto s : {stream, compressed})
        if (s != 0 && avi.streamRelease(s) != 0)
            failed = 1;
    if (file != 0 && avi.fileRelease(file) != 0)
        failed = 1;
    return failed ? 1 : 0;
}

struct Run {
    bool ok = false;
    double seconds = 0;
    double peakMegabytes = 0;
};

Run spawn(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMegabytes = usage.ru_maxrss / 1024.0; // kilobytes on Linux
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The ffmpeg tool's options for the same codec, pixel format and quality as the library uses.
std::vector<std::string> ffmpegOptions(const std::string& codec) {
    if (codec == "rawvideo")
        return {"-c:v", "rawvideo", "-pix_fmt", "bgr24", "-flipped_raw_rgb", "1"};
    if (codec == "mjpeg")
        return {"-c:v", "mjpeg", "-pix_fmt", "yuvj420p", "-q:v", "3"};
    if (codec == "mpeg4")
        return {"-c:v", "mpeg4", "-pix_fmt", "yuv420p", "-q:v", "3"};
    if (codec == "ffv1")
        return {"-c:v", "ffv1", "-pix_fmt", "bgr0"};
    return {"-c:v", codec};
}

double megabytes(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0 : size / 1048576.0;
}

// One line of the table: the AVI maker on all frames and on a tenth of them, and ffmpeg.
void compare(const std::string& self, const fs::path& folder, const std::string& codec) {
    const fs::path ours = folder / (codec + "-examo.avi");
    const fs::path tenth = folder / (codec + "-examo-tenth.avi");
    const fs::path theirs = folder / (codec + "-ffmpeg.avi");
    const Run a =
        spawn({self, "--write", codec, folder.string(), ours.string(), std::to_string(kFrames)});
    const Run a10 = spawn(
        {self, "--write", codec, folder.string(), tenth.string(), std::to_string(kFrames / 10)});
    std::vector<std::string> command = {"ffmpeg",     "-v",
                                        "error",      "-y",
                                        "-framerate", std::to_string(kRate),
                                        "-i",         (folder / "frame%03d.bmp").string()};
    for (const auto& o : ffmpegOptions(codec))
        command.push_back(o);
    command.push_back(theirs.string());
    const Run f = spawn(command);
    if (!a.ok || !a10.ok || !f.ok) {
        std::printf("%-9s  failed (AVI maker %s, ffmpeg %s)\n", codec.c_str(),
                    a.ok && a10.ok ? "ok" : "failed", f.ok ? "ok" : "failed");
        return;
    }
    std::printf("%-9s  %6.2f %6.1f %6.1f %7.1f  %6.2f %6.1f %7.1f\n", codec.c_str(), a.seconds,
                a.peakMegabytes, megabytes(ours), a10.peakMegabytes, f.seconds, f.peakMegabytes,
                megabytes(theirs));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--write") == 0)
        return writeMovie(argv[2], argv[3], argv[4], std::atoi(argv[5]));

    std::vector<std::string> codecs(argv + 1, argv + argc);
    if (codecs.empty())
        codecs = {"rawvideo", "msvideo1", "mjpeg", "mpeg4", "ffv1"};

    const fs::path folder =
        fs::temp_directory_path() / ("examo_bench_avimaker_" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (int i = 0; i < kFrames; ++i)
        writeFrame(frameName(folder, i), i);
    const std::string self = fs::read_symlink("/proc/self/exe").string();

    std::printf("%d frames of %dx%d, 24 bits, %d a second; time in seconds, peak memory and "
                "file size in MB\n\n",
                kFrames, kWidth, kHeight, kRate);
    std::printf("%-9s  %28s  %22s\n", "", "AVI maker", "ffmpeg");
    std::printf("%-9s  %6s %6s %6s %7s  %6s %6s %7s\n", "codec", "time", "peak", "size", "peak/10",
                "time", "peak", "size");
    for (const std::string& codec : codecs)
        compare(self, folder, codec);
    fs::remove_all(folder);
    return 0;
}
