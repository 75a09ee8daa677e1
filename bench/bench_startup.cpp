// How long each program takes from exec to its first window on screen, beside a bare Qt
// Widgets main window measured in the same rounds on the same X server.
//
//   bench_startup [runs=15] [bin-folder]
//
// Starts Xvfb unless DISPLAY names a server. A client watching the root window for
// MapNotify times each start; the program is then ended (SIGTERM, later SIGKILL). Every
// program runs with QT_QPA_PLATFORM=xcb, EXAMO_AUDIO=silent and a private HOME and XDG
// folders made here: one kept for all starts of a program ("second start"), and for ExamoMe
// also a new empty one for every start ("fresh home"). Finally ExamoMe runs once under
// strace in its kept home and is closed through its window; the programs it exec'd show
// that a start with the file association in place runs no desktop tool.
//
// A tool, not a test: it prints times and never fails on them.
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDefaultRuns = 15;
constexpr auto kMapTimeout = std::chrono::seconds(20);
constexpr auto kExitTimeout = std::chrono::seconds(20);
constexpr auto kTermTimeout = std::chrono::seconds(3);

// Waits until the process has ended or the time is up; true when it ended (and was reaped).
bool waitExit(pid_t pid, Clock::duration timeout) {
    const int fd = int(syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
        poll(&p, 1, int(std::chrono::duration_cast<std::chrono::milliseconds>(timeout).count()));
        close(fd);
    }
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    if (waitExit(pid, kTermTimeout))
        return;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
}

pid_t launch(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, STDIN_FILENO);
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return pid;
}

// Xvfb on a free display, unless one is given.
class XServer {
public:
    XServer() {
        const char* given = std::getenv("DISPLAY");
        if (given != nullptr && *given != '\0') {
            m_display = given;
            return;
        }
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = launch({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                        "1280x1024x24", "-nolisten", "tcp"},
                       {"PATH=/usr/bin:/bin"});
        close(fds[1]);
        char number[32] = {};
        const ssize_t got = read(fds[0], number, sizeof number - 1);
        close(fds[0]);
        if (got > 0)
            m_display = ":" + std::to_string(std::atoi(number));
    }
    ~XServer() {
        if (m_pid > 0)
            stop(m_pid);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    const std::string& display() const { return m_display; }

private:
    std::string m_display;
    pid_t m_pid = -1;
};

// The root window's watcher: sees every top-level window mapped.
class Screen {
public:
    explicit Screen(const std::string& display) : m_conn(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(m_conn) != 0)
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        m_protocols = atom("WM_PROTOCOLS");
        m_delete = atom("WM_DELETE_WINDOW");
        xcb_flush(m_conn);
    }
    ~Screen() { xcb_disconnect(m_conn); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    bool usable() const { return m_root != 0; }

    void drain() {
        sync();
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn))
            std::free(e);
    }

    // The first top-level window mapped before the deadline.
    std::optional<xcb_window_t> waitForMap(Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(m_conn)) {
                const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
                const xcb_window_t window = map->window;
                const bool popup = map->override_redirect != 0;
                std::free(e);
                if (mapped && !popup)
                    return window;
            }
            pollfd p{.fd = xcb_get_file_descriptor(m_conn), .events = POLLIN, .revents = 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            poll(&p, 1, int(std::max<long>(left.count(), 0)));
        }
        return std::nullopt;
    }

    // Asks the window to close, as a window manager's close button does.
    void closeWindow(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_protocols;
        message.data.data32[0] = m_delete;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_conn, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_conn);
    }

private:
    xcb_atom_t atom(const char* name) {
        auto cookie = xcb_intern_atom(m_conn, 0, uint16_t(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_conn, cookie, nullptr);
        const xcb_atom_t result = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        return result;
    }
    // A round trip, so that every event the server sent so far has arrived.
    void sync() {
        std::free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
    }

    xcb_connection_t* m_conn;
    xcb_window_t m_root = 0;
    xcb_atom_t m_protocols = 0;
    xcb_atom_t m_delete = 0;
};

// A private home with its XDG folders, all below one folder of the bench.
class Homes {
public:
    Homes() {
        char pattern[] = "/tmp/examo-startup-XXXXXX";
        m_base = mkdtemp(pattern) != nullptr ? pattern : "/tmp/examo-startup";
    }
    ~Homes() {
        std::error_code ec;
        fs::remove_all(m_base, ec);
    }
    Homes(const Homes&) = delete;
    Homes& operator=(const Homes&) = delete;

    fs::path make(const std::string& name) {
        fs::path home = m_base / (name + "-" + std::to_string(m_made++));
        for (const char* sub : {".config", ".local/share", ".cache", "runtime"})
            fs::create_directories(home / sub);
        fs::permissions(home / "runtime", fs::perms::owner_all);
        return home;
    }

private:
    fs::path m_base;
    int m_made = 0;
};

std::vector<std::string> environmentFor(const fs::path& home, const std::string& display) {
    const char* path = std::getenv("PATH");
    return {"PATH=" + std::string(path != nullptr ? path : "/usr/bin:/bin"),
            "DISPLAY=" + display,
            "HOME=" + home.string(),
            "XDG_CONFIG_HOME=" + (home / ".config").string(),
            "XDG_DATA_HOME=" + (home / ".local/share").string(),
            "XDG_CACHE_HOME=" + (home / ".cache").string(),
            "XDG_RUNTIME_DIR=" + (home / "runtime").string(),
            "LANG=C.UTF-8",
            "QT_QPA_PLATFORM=xcb",
            "EXAMO_AUDIO=silent"};
}

struct Program {
    std::string label;
    fs::path path;
    bool freshHome = false;
    std::optional<fs::path> keptHome;
    std::vector<double> times;
};

// One start, timed from just before exec to the window's MapNotify; -1 when none came.
double timeStart(Screen& screen, const std::vector<std::string>& argv,
                 const std::vector<std::string>& env) {
    screen.drain();
    const auto start = Clock::now();
    const pid_t pid = launch(argv, env);
    const auto window = screen.waitForMap(start + kMapTimeout);
    const auto end = Clock::now();
    stop(pid);
    if (!window)
        return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Starts the program and closes its window as soon as it is there, as a person might;
// true when it then ended by itself.
bool startAndClose(Screen& screen, const std::vector<std::string>& argv,
                   const std::vector<std::string>& env) {
    screen.drain();
    const pid_t pid = launch(argv, env);
    const auto window = screen.waitForMap(Clock::now() + kMapTimeout);
    if (window)
        screen.closeWindow(*window);
    if (window && waitExit(pid, kExitTimeout))
        return true;
    stop(pid);
    return false;
}

struct Summary {
    double median = 0, min = 0, max = 0;
    int failed = 0;
};

Summary summarize(std::vector<double> times) {
    Summary s;
    s.failed = int(std::count(times.begin(), times.end(), -1.0));
    std::erase(times, -1.0);
    if (times.empty())
        return s;
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    s.median = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    s.min = times.front();
    s.max = times.back();
    return s;
}

bool fileHas(const fs::path& path, const std::string& text) {
    std::ifstream in(path);
    const std::string content((std::istreambuf_iterator<char>(in)), {});
    return content.find(text) != std::string::npos;
}

void reportRegistration(const fs::path& home, bool closed) {
    const fs::path data = home / ".local/share";
    const bool mime = fs::exists(data / "mime/packages/examome.xml");
    const bool entry = fs::exists(data / "applications/examome.desktop");
    const bool icon = fs::exists(data / "icons/hicolor/scalable/apps/examome.svg");
    const bool fallback =
        fileHas(home / ".config/mimeapps.list", "application/x-examome=examome.desktop");
    const bool viaXdg = fileHas(data / "applications/mimeapps.list", "application/x-examome=");
    std::printf("ExamoMe first start in an empty home, window closed at once: %s\n",
                closed ? "ended by itself" : "did NOT end by itself (killed)");
    std::printf("  registration left behind: MIME package %s, desktop entry %s, icon %s, "
                "default application %s\n",
                mime ? "yes" : "NO", entry ? "yes" : "NO", icon ? "yes" : "NO",
                fallback || viaXdg ? "yes" : "NO");
}

// The programs a run exec'd, from strace's execve lines that succeeded.
std::vector<std::string> execedPrograms(const fs::path& log) {
    std::vector<std::string> programs;
    std::map<std::string, std::string> pending; // pid -> path of an unfinished execve
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        const std::string pid = line.substr(0, line.find(' '));
        const auto at = line.find("execve(\"");
        if (at != std::string::npos) {
            const auto from = at + 8;
            const std::string path = line.substr(from, line.find('"', from) - from);
            if (line.find("<unfinished") != std::string::npos)
                pending[pid] = path;
            else if (line.ends_with("= 0"))
                programs.push_back(path);
        } else if (line.find("execve resumed>") != std::string::npos && line.ends_with("= 0")) {
            programs.push_back(pending[pid]);
        }
    }
    return programs;
}

void reportSecondStartExecs(Screen& screen, const Program& examome, const std::string& display,
                            Homes& homes) {
    const fs::path log = homes.make("strace") / "execve.log";
    const std::vector<std::string> argv{
        "/usr/bin/strace", "-f", "-qq",        "-e",
        "trace=execve",    "-o", log.string(), examome.path.string()};
    if (!fs::exists(argv[0])) {
        std::printf("\nstrace is not installed: cannot list the programs a start runs\n");
        return;
    }
    const bool closed = startAndClose(screen, argv, environmentFor(*examome.keptHome, display));
    const auto programs = execedPrograms(log);
    std::printf("\nExamoMe second start (association in place) under strace, closed through "
                "its window (%s); programs exec'd:\n",
                closed ? "ended by itself" : "had to be killed");
    int others = 0;
    for (const auto& p : programs) {
        std::printf("  %s\n", p.c_str());
        others += fs::path(p) != examome.path ? 1 : 0;
    }
    if (others == 0 && !programs.empty())
        std::printf("OK: the second start ran no external program\n");
    else
        std::printf("NOT OK: the second start ran %d other program(s)\n", others);
}

void printTable(const std::vector<Program>& programs, int runs) {
    const Summary bare = summarize(programs.front().times);
    std::printf("\nStart to first window mapped, %d starts each, ms:\n", runs);
    std::printf("%-32s %8s %8s %8s %9s\n", "program", "median", "min", "max", "vs bare");
    for (const auto& p : programs) {
        const Summary s = summarize(p.times);
        std::printf("%-32s %8.1f %8.1f %8.1f %8.2fx", p.label.c_str(), s.median, s.min, s.max,
                    bare.median > 0 ? s.median / bare.median : 0.0);
        if (s.failed > 0)
            std::printf("  (%d starts showed no window)", s.failed);
        std::printf("\n");
    }
}

// Measures all programs round by round, so that load from elsewhere falls on all alike.
void measure(Screen& screen, std::vector<Program>& programs, const std::string& display,
             Homes& homes, int runs) {
    for (int round = -1; round < runs; ++round) { // round -1 warms the page cache
        for (auto& p : programs) {
            const fs::path home = p.freshHome ? homes.make("fresh") : *p.keptHome;
            const double ms = timeStart(screen, {p.path.string()}, environmentFor(home, display));
            if (round >= 0)
                p.times.push_back(ms);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    const fs::path self = fs::canonical("/proc/self/exe").parent_path();
    const fs::path bin = argc > 2 ? fs::path(argv[2]) : self.parent_path() / "bin";
    XServer server;
    Screen screen(server.display());
    if (server.display().empty() || !screen.usable()) {
        std::fprintf(stderr, "no X server to measure on\n");
        return 1;
    }
    Homes homes;
    std::vector<Program> programs{
        {.label = "bare Qt window", .path = self / "bare_window"},
        {.label = "ExamoMe (second start)", .path = bin / "ExamoMe"},
        {.label = "ExamoMe (fresh home)", .path = bin / "ExamoMe", .freshHome = true},
        {.label = "ExamoForge (second start)", .path = bin / "ExamoForge"},
    };
    std::printf("X server %s, %d starts per program\n", server.display().c_str(), runs);
    // Each kept home has seen one start that was closed right after its window came up.
    for (auto& p : programs) {
        if (p.freshHome)
            continue;
        p.keptHome = homes.make("kept");
        const bool closed =
            startAndClose(screen, {p.path.string()}, environmentFor(*p.keptHome, server.display()));
        if (p.path.filename() == "ExamoMe")
            reportRegistration(*p.keptHome, closed);
    }
    measure(screen, programs, server.display(), homes, runs);
    printTable(programs, runs);
    reportSecondStartExecs(screen, programs[1], server.display(), homes);
    return 0;
}
