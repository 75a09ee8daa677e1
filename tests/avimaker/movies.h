#pragma once

#include "support/tools.h"

#include <QImage>

#include <map>
#include <string>

// Looks at written movies with FFmpeg's own command-line tools.
namespace movies {

// What ffprobe says of a movie's video stream; empty when it cannot read the file.
struct Probe {
    std::string codec;
    std::string pixelFormat;
    std::string frameRate; // "num/den"
    int frames = -1;       // counted by decoding
};

inline Probe probe(const std::string& path) {
    const QString out =
        examo::testing::runProgram(
            QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
             QStringLiteral("v:0"), QStringLiteral("-count_frames"),
             QStringLiteral("-show_entries"),
             QStringLiteral("stream=codec_name,pix_fmt,r_frame_rate,nb_read_frames"),
             QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"),
             QString::fromStdString(path)})
            .output;
    std::map<QString, QString> values;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        values[line.section(QLatin1Char('='), 0, 0)] = line.section(QLatin1Char('='), 1).trimmed();
    bool counted = false;
    const int frames = values[QStringLiteral("nb_read_frames")].toInt(&counted);
    return {values[QStringLiteral("codec_name")].toStdString(),
            values[QStringLiteral("pix_fmt")].toStdString(),
            values[QStringLiteral("r_frame_rate")].toStdString(), counted ? frames : -1};
}

// One decoded frame as FFmpeg's decoder gives it, through a PNG file beside the movie.
inline QImage frame(const std::string& path, int index = 0) {
    const QString png = QString::fromStdString(path) + QStringLiteral(".frame%1.png").arg(index);
    const bool ok = examo::testing::runProgram(
                        QStringLiteral("ffmpeg"),
                        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                         QStringLiteral("-i"), QString::fromStdString(path), QStringLiteral("-vf"),
                         QStringLiteral("select=eq(n\\,%1)").arg(index),
                         QStringLiteral("-frames:v"), QStringLiteral("1"), png})
                        .ok;
    return ok ? QImage(png).convertToFormat(QImage::Format_RGB32) : QImage();
}

// How far a decoded frame may stray from its picture, on average per channel, by codec.
inline double tolerance(const std::string& codec) {
    return codec == "rawvideo" || codec == "ffv1" ? 0.0 : 4.0; // 5 bits a channel, or lossy
}

} // namespace movies
