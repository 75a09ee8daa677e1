// A quiz save that kills itself at a chosen moment, for the test that a killed save never
// leaves a broken quiz. Every call the save makes to open, write, fsync, fchmod, close or
// rename is a moment; writes are cut to 4 KB, as the kernel may cut them, so a large quiz
// gives many moments inside its write.
//
//   savevictim PATH VERSION N    saves bigQuiz(VERSION) to PATH and dies (SIGKILL) just before
//                                its Nth call; with N = 0 it lives and prints how many calls
//                                the save made.
#include "savevictim.h"
#include "storage/quizfile.h"

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<bool> armed{false};
std::atomic<long> calls{0};
long killAt = 0;

void moment() {
    if (!armed)
        return;
    if (++calls == killAt)
        ::kill(::getpid(), SIGKILL);
}

template <typename F> F real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

// open and open64 are the same call under two names; either may be the one linked.
#define EXAMO_COUNTED_OPEN(NAME)                                                                   \
    int NAME(const char* path, int flags, ...) {                                                   \
        va_list args;                                                                              \
        va_start(args, flags);                                                                     \
        const mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(args, int)) : 0;        \
        va_end(args);                                                                              \
        moment();                                                                                  \
        static const auto next = real<int (*)(const char*, int, ...)>(#NAME);                      \
        return next(path, flags, mode);                                                            \
    }
EXAMO_COUNTED_OPEN(open)
EXAMO_COUNTED_OPEN(open64)

ssize_t write(int fd, const void* data, size_t size) {
    moment();
    static const auto next = real<ssize_t (*)(int, const void*, size_t)>("write");
    return next(fd, data, armed && size > 4096 ? 4096 : size);
}

int fsync(int fd) {
    moment();
    static const auto next = real<int (*)(int)>("fsync");
    return next(fd);
}

int fchmod(int fd, mode_t mode) {
    moment();
    static const auto next = real<int (*)(int, mode_t)>("fchmod");
    return next(fd, mode);
}

int close(int fd) {
    moment();
    static const auto next = real<int (*)(int)>("close");
    return next(fd);
}

int rename(const char* from, const char* to) {
    moment();
    static const auto next = real<int (*)(const char*, const char*)>("rename");
    return next(from, to);
}

} // extern "C"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const auto records = examo::testing::bigQuiz(std::atoi(argv[2]));
    killAt = std::atol(argv[3]);
    armed = true;
    const bool saved = examo::quizfile::Write(argv[1], "Farm", "Grade 3", records);
    armed = false;
    std::printf("%ld\n", calls.load());
    return saved ? 0 : 1;
}
