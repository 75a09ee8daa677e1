#pragma once

#include "support/tools.h"

#include <QImage>

#include <string>

// Looks at written movies with FFmpeg's own command-line tools.
namespace movies {

// What ffprobe says of a movie's video stream; empty when it cannot read the file.
struct Probe {
    std::string codec, pixelFormat, frameRate; // frame rate as "num/den"
    int frames = -1;                           // counted by decoding
};

inline Probe probe(const std::string& path) {
    const QStringList out =
        examo::testing::runProgram(
            QStringLiteral("ffprobe"),
            QStringLiteral("-v error -select_streams v:0 -count_frames -show_entries "
                           "stream=codec_name,pix_fmt,r_frame_rate,nb_read_frames -of csv=p=0")
                    .split(QLatin1Char(' '))
                << QString::fromStdString(path))
            .output.trimmed()
            .split(QLatin1Char(','));
    return out.size() != 4 ? Probe{}
                           : Probe{out[0].toStdString(), out[1].toStdString(), out[2].toStdString(),
                                   out[3].toInt()};
}

// One decoded frame as FFmpeg gives it, through a PNG file beside the movie (a path without
// blanks).
inline QImage frame(const std::string& path, int index = 0) {
    const QString png = QString::fromStdString(path) + QStringLiteral(".%1.png").arg(index);
    const QString arguments =
        QStringLiteral("-v error -y -i %1 -vf select=eq(n\\,%2) -frames:v 1 %3")
            .arg(QString::fromStdString(path), QString::number(index), png);
    return examo::testing::runProgram(QStringLiteral("ffmpeg"), arguments.split(QLatin1Char(' ')))
                   .ok
               ? QImage(png).convertToFormat(QImage::Format_RGB32)
               : QImage();
}

} // namespace movies
