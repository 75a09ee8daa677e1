#pragma once

// What the tests of real services share: other programs, wave files, silent sound, waiting.
#include <QCoreApplication>
#include <QProcess>

#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

namespace examo::testing {

struct ProgramRun {
    bool ok = false; // started, ended normally, exit code 0
    QString output, errors;
};

// Runs a program to its end; a minute is far more than any tool here needs.
inline ProgramRun runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return {.ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                  process.exitCode() == 0,
            .output = QString::fromUtf8(process.readAllStandardOutput()),
            .errors = QString::fromUtf8(process.readAllStandardError())};
}

// pdftotext's reading of a PDF: as laid out (a page ends in a form feed), or "-bbox" word boxes.
inline QString pdfText(const QString& pdf, const QString& mode = QStringLiteral("-layout")) {
    return runProgram(QStringLiteral("pdftotext"), {mode, pdf, QStringLiteral("-")}).output;
}

// Polls until done; false after 30 s, far more than anything here takes on a busy machine.
inline bool waitFor(const std::function<bool()>& done) {
    for (int polls = 0; polls < 3000 && !done(); ++polls)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// As waitFor, with the Qt events handled meanwhile (what comes from other threads, repaints).
inline bool waitHandlingEvents(const std::function<bool()>& done) {
    return waitFor([&done] {
        QCoreApplication::processEvents();
        return done();
    });
}

// A quiet 440 Hz tone as a mono 16-bit PCM RIFF WAVE file's bytes.
inline std::vector<std::uint8_t> pcmWave(double seconds, std::uint32_t rate = 22050) {
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::uint8_t> out;
    const auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    // "RIFF", its size, "WAVE", "fmt ", then PCM, mono, two bytes a frame, 16 bits, "data".
    for (const std::uint32_t word : {0x46464952u, 36 + frames * 2, 0x45564157u, 0x20746d66u, 16u,
                                     0x10001u, rate, rate * 2, 0x100002u, 0x61746164u, frames * 2})
        put(word, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        put(static_cast<std::uint16_t>(std::lround(3000 * std::sin(2 * M_PI * 440 * i / rate))), 2);
    return out;
}

inline void writeWave(const std::string& path, double seconds) {
    const auto bytes = pcmWave(seconds);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Sound goes to silent sinks that keep real time, whatever the machine has.
struct SilentAudio {
    SilentAudio() { qputenv("EXAMO_AUDIO", "silent"); }
};

} // namespace examo::testing
