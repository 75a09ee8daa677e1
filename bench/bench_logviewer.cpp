// Opening a large score log in the log viewer: wall time and the process's peak memory
// (maximum resident set size) for a log of the given size in megabytes (default 60).
//
//   bench_logviewer [megabytes]
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprinter.h"
#include "fakes/fakeprograminfo.h"
#include "logviewer/frmlog.h"
#include "printeddialogs.h"
#include "storage/modcrypt.h"

#include <QApplication>

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
    const auto start = std::chrono::steady_clock::now();
    // The viewer's start-up opens the log its command line names, as ExamoForge x.log does.
    examo::frmLog form(dialogs, fileDialogs, program, printer, log.string());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld MB log: %.2f s, peak %ld MB\n", megabytes, seconds, usage.ru_maxrss / 1024);
    std::filesystem::remove(log);
    return 0;
}
