// Opening a large score log in the log viewer: wall time, the longest time the window did not
// answer (no pass of its event loop), and the process's peak memory (maximum resident set size)
// for a log of the given size in megabytes (default 60).
//
//   bench_logviewer [megabytes]
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprinter.h"
#include "fakes/fakeprograminfo.h"
#include "logviewer/frmlog.h"
#include "printeddialogs.h"
#include "storage/modcrypt.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long megabytes = argc > 1 ? std::atol(argv[1]) : 60;
    const std::filesystem::path log =
        std::filesystem::temp_directory_path() / "bench_logviewer.log";
    {
        const std::string entry =
            examo::modCrypt::ScrambleLogText(
                "Student Name.    Score 7 of 9.  77%   Time spent 1 minutes and 15 "
                "seconds.  Test date:  Sunday, Dec 6 2026  09:41 AM\r\n") +
            "\r\n";
        std::ofstream out(log, std::ios::binary);
        for (long written = 0; written < megabytes * 1024 * 1024;
             written += static_cast<long>(entry.size()))
            out << entry;
    }
    examo::bench::PrintedDialogs dialogs;
    examo::fakes::FakeFileDialogs fileDialogs;
    examo::fakes::FakeProgramInfo program;
    examo::fakes::FakePrinter printer;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastPass = start;
    double longestWait = 0;
    QTimer pass;
    QObject::connect(&pass, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        longestWait = std::max(longestWait, std::chrono::duration<double>(now - lastPass).count());
        lastPass = now;
    });
    pass.start(0);
    // The viewer's start-up opens the log its command line names, as ExamoForge x.log does.
    examo::frmLog form(dialogs, fileDialogs, program, printer, log.string());
    form.show(); // and lays the text out, as the creator shows it
    QApplication::processEvents();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld MB log: %.2f s, longest without answering %.2f s, peak %ld MB\n", megabytes,
                seconds, longestWait, usage.ru_maxrss / 1024);
    std::filesystem::remove(log);
    return 0;
}
