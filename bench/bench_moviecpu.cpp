// How much processor time playing a movie costs: the media command service drawing into a
// 270x270 box of a Qt window, beside gst-launch-1.0 playing the same file into an X window of
// its own. Both run on the same X display (an Xvfb of our own when DISPLAY is not set) with
// silent sound that keeps real time.
//
// Only the play span of the service is measured (from "play" to the end of the stream): its
// file was opened and prerolled before. gst-launch's time includes starting the process,
// loading the plugin registry and the preroll; the time of an empty pipeline is printed to
// show how much that is. gst-launch shows the picture at its own 640x480 and does not scale.
//
// A tool, not a test: it prints the numbers and ends with 0 whatever the ratio.
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kRounds = 3;
constexpr double kTarget = 1.3;
constexpr auto kPlayLimit = std::chrono::seconds(60);
constexpr int kPollMilliseconds = 100;

using Clock = std::chrono::steady_clock;

struct Cost {
    double cpu = 0;  // user + system seconds
    double wall = 0; // seconds
};

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double cpuOf(const rusage& usage) {
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ownCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuOf(usage);
}

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Starts a program from PATH with the given descriptors of it going to /dev/null.
pid_t spawn(const std::vector<std::string>& args, const std::vector<int>& silenced) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : silenced)
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// An X server of our own for as long as the benchmark runs.
class Xvfb {
public:
    Xvfb() = default;
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    ~Xvfb() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    // The display's name, once the server accepts connections; empty when it did not start.
    std::string start() {
        int fds[2];
        if (pipe(fds) != 0)
            return {};
        // Xvfb picks a free display number and writes it to the pipe when it is ready.
        m_pid = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                       "-nolisten", "tcp"},
                      {STDOUT_FILENO, STDERR_FILENO}); // it reports each display in use
        close(fds[1]);
        std::string number;
        char c = 0;
        while (m_pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        return number.empty() ? std::string() : ":" + number;
    }

private:
    pid_t m_pid = -1;
};

bool makeMovie(const std::string& file) {
    const std::string command =
        "ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=10 "
        "-f lavfi -i sine=frequency=440:duration=10 "
        "-c:v mpeg1video -q:v 4 -c:a mp2 -f mpeg " +
        file;
    return std::system(command.c_str()) == 0;
}

// The number the service takes as the box: its address, as the quiz window's picture box gives it.
std::uintptr_t boxHandle(QWidget& box) {
    return reinterpret_cast<std::uintptr_t>(&box);
}

bool send(examo::GstMediaCommandService& commands, const std::string& command) {
    std::string reply(128, ' ');
    const std::uint32_t error = commands.send(command, reply, 128);
    if (error != 0)
        std::fprintf(stderr, "bench_moviecpu: \"%s\" failed with %u\n", command.c_str(), error);
    return error == 0;
}

// Runs the event loop until `done` is true or the time is up; false when it is up.
bool loopUntil(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + kPlayLimit;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || Clock::now() > deadline)
            loop.quit();
    });
    poll.start(kPollMilliseconds);
    loop.exec();
    return done();
}

// One play of the movie through the service, in a box of a shown window.
std::optional<Cost> ourRun(examo::GstMediaCommandService& commands, const std::string& file) {
    QWidget window;
    window.resize(400, 400);
    QWidget box(&window);
    box.setGeometry(60, 60, 270, 270);
    window.show();
    if (!loopUntil([&] { return window.windowHandle()->isExposed(); }))
        return std::nullopt;
    if (!send(commands, "open MPEGvideo!" + examo::encodeShortPath(file) + " alias movie") ||
        !send(commands, "window movie handle " + std::to_string(boxHandle(box))) ||
        !send(commands, "put movie destination at 0 0 270 270"))
        return std::nullopt;
    const auto start = Clock::now();
    const double cpu = ownCpu();
    if (!send(commands, "play movie") || !loopUntil([&] { return commands.reachedEnd("movie"); }))
        return std::nullopt;
    const Cost cost{.cpu = ownCpu() - cpu, .wall = since(start)};
    // Proof that the pictures went to a sink that draws, at the box's size.
    const auto picture = commands.shownPicture("movie");
    if (!picture ||
        picture->size != examo::GstMediaCommandService::Size{.width = 270, .height = 270}) {
        std::fprintf(stderr, "bench_moviecpu: the movie was not shown at 270x270\n");
        return std::nullopt;
    }
    send(commands, "close all");
    return cost;
}

// One run of a child program, measured by the kernel's account of it.
std::optional<Cost> childRun(const std::vector<std::string>& args) {
    const auto start = Clock::now();
    const pid_t pid = spawn(args, {STDOUT_FILENO});
    if (pid <= 0)
        return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return Cost{.cpu = cpuOf(usage), .wall = since(start)};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs `run` kRounds times, printing each; the median processor time, or nullopt on a failure.
std::optional<double> measure(const char* name, const std::function<std::optional<Cost>()>& run) {
    std::vector<double> cpu;
    for (int i = 1; i <= kRounds; ++i) {
        const std::optional<Cost> cost = run();
        if (!cost) {
            std::printf("%-10s run %d failed\n", name, i);
            return std::nullopt;
        }
        std::printf("%-10s run %d: %6.2f s processor, %6.2f s wall\n", name, i, cost->cpu,
                    cost->wall);
        cpu.push_back(cost->cpu);
    }
    std::printf("%-10s median: %6.2f s processor\n", name, median(cpu));
    return median(cpu);
}

std::string joined(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& arg : args)
        line += (line.empty() ? "" : " ") +
                (arg.find(' ') == std::string::npos ? arg : "'" + arg + "'");
    return line;
}

int compare(const std::string& file) {
    examo::GstEnvironment gst;
    examo::PercentShortPath shortPaths;
    examo::GstMediaCommandService commands{gst, shortPaths};
    const std::vector<std::string> reference = {"gst-launch-1.0", "playbin", "uri=file://" + file,
                                                "video-sink=ximagesink",
                                                "audio-sink=fakesink sync=true"};
    const std::vector<std::string> empty = {"gst-launch-1.0", "fakesrc", "num-buffers=1", "!",
                                            "fakesink"};
    std::printf("reference: %s\n", joined(reference).c_str());
    const auto ours = measure("service", [&] { return ourRun(commands, file); });
    const auto theirs = measure("reference", [&] { return childRun(reference); });
    const auto startup = measure("empty", [&] { return childRun(empty); });
    if (!ours || !theirs || !startup)
        return 1;
    std::printf("ratio service/reference: %.2f (target: at most %.1fx)\n", *ours / *theirs,
                kTarget);
    std::printf("ratio service/(reference - empty pipeline): %.2f\n", *ours / (*theirs - *startup));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("EXAMO_AUDIO", "silent", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    Xvfb xvfb;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        const std::string name = xvfb.start();
        if (name.empty()) {
            std::fprintf(stderr, "bench_moviecpu: Xvfb did not start\n");
            return 1;
        }
        setenv("DISPLAY", name.c_str(), 1);
    }
    std::printf("display %s\n", std::getenv("DISPLAY"));

    char folder[] = "/tmp/examo-moviecpu.XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return 1;
    const std::string file = std::string(folder) + "/movie.mpg";
    int status = 1;
    if (makeMovie(file)) {
        QApplication app(argc, argv);
        status = compare(file);
    } else {
        std::fprintf(stderr, "bench_moviecpu: ffmpeg could not make %s\n", file.c_str());
    }
    std::filesystem::remove_all(folder);
    return status;
}
