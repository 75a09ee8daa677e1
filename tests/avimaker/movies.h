#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <map>
#include <string>

// Looks at written movies with FFmpeg's own command-line tools.
namespace movies {

// What ffprobe says of a movie's video stream; empty when it cannot read the file.
struct Probe {
    std::string codec;
    std::string pixelFormat;
    std::string frameRate; // "num/den"
    int width = 0;
    int height = 0;
    int frames = -1; // counted by decoding
};

inline QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr) {
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished(120000) &&
                      process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok != nullptr)
        *ok = done;
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline Probe probe(const std::string& path) {
    const QString out = run(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
         QStringLiteral("v:0"), QStringLiteral("-count_frames"), QStringLiteral("-show_entries"),
         QStringLiteral("stream=codec_name,pix_fmt,r_frame_rate,width,height,nb_read_frames"),
         QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"),
         QString::fromStdString(path)});
    std::map<QString, QString> values;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            values[line.left(eq)] = line.mid(eq + 1).trimmed();
    }
    Probe p;
    p.codec = values[QStringLiteral("codec_name")].toStdString();
    p.pixelFormat = values[QStringLiteral("pix_fmt")].toStdString();
    p.frameRate = values[QStringLiteral("r_frame_rate")].toStdString();
    p.width = values[QStringLiteral("width")].toInt();
    p.height = values[QStringLiteral("height")].toInt();
    bool counted = false;
    const int frames = values[QStringLiteral("nb_read_frames")].toInt(&counted);
    p.frames = counted ? frames : -1;
    return p;
}

// The key-frame marks of every frame, "1" or "0", in order.
inline std::string keyFrames(const std::string& path) {
    const QString out = run(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
         QStringLiteral("v:0"), QStringLiteral("-show_entries"), QStringLiteral("frame=key_frame"),
         QStringLiteral("-of"), QStringLiteral("csv=p=0"), QString::fromStdString(path)});
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QString()).toStdString();
}

// One decoded frame as FFmpeg's decoder gives it, through a PNG file beside the movie.
inline QImage frame(const std::string& path, int index = 0) {
    const QString png = QString::fromStdString(path) + QStringLiteral(".frame%1.png").arg(index);
    bool ok = false;
    run(QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"),
         QString::fromStdString(path), QStringLiteral("-vf"),
         QStringLiteral("select=eq(n\\,%1)").arg(index), QStringLiteral("-frames:v"),
         QStringLiteral("1"), png},
        &ok);
    return ok ? QImage(png).convertToFormat(QImage::Format_RGB32) : QImage();
}

// How far a decoded frame may stray from its picture, on average per channel, by codec.
inline double tolerance(const std::string& codec) {
    if (codec == "rawvideo" || codec == "ffv1")
        return 0.0;
    return 4.0; // 5 bits a channel, or lossy on flat colour
}

} // namespace movies
