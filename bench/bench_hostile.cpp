// What each row of the hostile-input table costs through its entry point, and what the largest
// inputs the programs accept cost (the tests leave those out for their time): wall time, the
// longest time the event loop did not run, and peak memory (maximum resident set size). Each
// row runs in a process of its own, so that each peak is that row's own.
//
//   bench_hostile          every row, the longest wait first
//   bench_hostile ROW      one row, by its number
#include "../tests/app/hostilerows.h"
#include "storage/modcrypt.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/resource.h>

using namespace examo::testing::hostile;
using examo::testing::TempFolder;
using examo::testing::writeBytes;

namespace {

// The largest of each kind that the programs take in.
// The largest of each kind that the programs take in, made only when their row runs.
std::vector<Row> largestAccepted() {
    const Maker fullLog = [](const TempFolder& dir) {
        const std::string entry =
            examo::modCrypt::ScrambleLogText(examo::scorelog::BuildEntry(
                examo::testing::logEntryOf("Student Name With A Long Surname"))) +
            "\r\n";
        std::string all;
        while (all.size() + entry.size() <= examo::scorelog::kMaxLogBytes)
            all += entry;
        writeBytes(dir.path("q.log"), all);
        return dir.path("q.log");
    };
    // 100 questions of long text, as near the size limit as a quiz may come.
    const Maker longQuiz = [](const TempFolder& dir) {
        std::vector<std::string> records(100, mc());
        for (std::string& r : records)
            r.replace(r.find("Which animal?"), 13, std::string(70000, 'w'));
        writeBytes(dir.path("q.exm"), quizBytes(records));
        return dir.path("q.exm");
    };
    const Maker photo = [](const TempFolder& dir) {
        QImage picture(6000, 4000, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        picture.save(QString::fromStdString(dir.path("photo.jpg")), "JPEG");
        writeBytes(dir.path("q.exm"), quizBytes({mc("photo.jpg"), mc()}));
        return dir.path("q.exm");
    };
    const Maker largestBitmap = [](const TempFolder& dir) {
        bitmaps::write(dir.path("b.bmp"), bitmaps::bmp24(bitmaps::quarters(4096, 4096)));
        return dir.path("b.bmp");
    };
    const std::string wrong = "The correct answer was C. Pig";
    return {
        {"a log of 64 MB", Entry::ViewerOpen, fullLog, {}},
        {"100 questions in 7 MB", Entry::PlayerOpen, longQuiz, {wrong}},
        {"100 questions in 7 MB", Entry::CreatorOpen, longQuiz, {}},
        {"a photo of 24 megapixels", Entry::PlayerOpen, photo, {wrong}},
        {"a bitmap 4096 by 4096", Entry::AviAdd, largestBitmap, {}},
    };
}

std::vector<Row> allRows() {
    std::vector<Row> all = rows();
    const std::vector<Row> largest = largestAccepted();
    all.insert(all.end(), largest.begin(), largest.end());
    return all;
}

struct Cost {
    double seconds = 0, longestWait = 0;
    long peakMegabytes = 0;
    int asExpected = 0; // the messages the row expects, and no others
};

Cost measure(const Row& row) {
    TempFolder dir;
    const std::string path = row.make(dir);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastPass = start;
    Cost cost;
    QTimer pass;
    QObject::connect(&pass, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        cost.longestWait =
            std::max(cost.longestWait, std::chrono::duration<double>(now - lastPass).count());
        lastPass = now;
    });
    pass.start(0);
    const std::vector<std::string> seen = take(row, dir, path);
    QCoreApplication::processEvents();
    cost.asExpected = seen.size() == row.messages.size();
    for (std::size_t i = 0; cost.asExpected && i < seen.size(); ++i)
        cost.asExpected = seen[i].find(row.messages[i]) != std::string::npos;
    cost.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    cost.peakMegabytes = usage.ru_maxrss / 1024;
    return cost;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    examo::testing::SilentAudio silent;
    QApplication app(argc, argv);
    const std::vector<Row> table = allRows();
    if (argc > 1) {
        const Cost cost = measure(table.at(std::stoul(argv[1])));
        std::printf("%.3f %.3f %ld %d\n", cost.seconds, cost.longestWait, cost.peakMegabytes,
                    cost.asExpected);
        return 0;
    }
    struct Line {
        std::string name;
        Cost cost;
    };
    std::vector<Line> lines;
    for (std::size_t i = 0; i < table.size(); ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::number(i)});
        child.waitForFinished(-1);
        Cost cost;
        std::sscanf(child.readAllStandardOutput().constData(), "%lf %lf %ld %d", &cost.seconds,
                    &cost.longestWait, &cost.peakMegabytes, &cost.asExpected);
        lines.push_back({table[i].input + " through the " + nameOf(table[i].entry), cost});
    }
    std::ranges::sort(lines, [](const Line& a, const Line& b) {
        return a.cost.longestWait > b.cost.longestWait;
    });
    std::printf("%-58s %8s %8s %8s  %s\n", "row", "seconds", "waited", "peak MB", "messages");
    for (const Line& line : lines)
        std::printf("%-58s %8.2f %8.2f %8ld  %s\n", line.name.c_str(), line.cost.seconds,
                    line.cost.longestWait, line.cost.peakMegabytes,
                    line.cost.asExpected ? "as expected" : "NOT AS EXPECTED");
    return 0;
}
