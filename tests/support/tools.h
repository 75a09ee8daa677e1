#pragma once

// What the tests of real services share: other programs to make and read files, wave files,
// and sound that never reaches a device.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace examo::testing {

struct ProgramRun {
    bool ok = false; // started, ended normally, exit code 0
    QString output;
    QString errors;
};

// Runs a program to its end; a minute is far more than any tool here needs.
inline ProgramRun runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ProgramRun run;
    run.ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
             process.exitCode() == 0;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// What pdftotext reads from a PDF file: its text laid out as on the page (pages end with a
// form feed), or with "-bbox" each word's box as HTML.
inline QString pdfText(const QString& pdf, const QString& mode = QStringLiteral("-layout")) {
    return runProgram(QStringLiteral("pdftotext"), {mode, pdf, QStringLiteral("-")}).output;
}

// A quiet 440 Hz tone as a mono 16-bit PCM RIFF WAVE file's bytes.
inline std::vector<std::uint8_t> pcmWave(double seconds, std::uint32_t rate = 22050) {
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::uint8_t> out;
    const auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const auto tag = [&out](const char* t) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(t[i]));
    };
    tag("RIFF");
    put(36 + frames * 2, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(rate, 4);
    put(rate * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
        put(static_cast<std::uint16_t>(
                static_cast<std::int16_t>(3000 * std::sin(2 * M_PI * 440 * i / rate))),
            2);
    return out;
}

inline void writeWave(const std::string& path, double seconds) {
    const auto bytes = pcmWave(seconds);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Sound goes to silent sinks that keep real time, whatever the machine has.
struct SilentAudio {
    SilentAudio() { ::setenv("EXAMO_AUDIO", "silent", 1); }
};

} // namespace examo::testing
