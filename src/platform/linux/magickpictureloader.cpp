#include "platform/linux/magickpictureloader.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <Magick++.h>

#include <cstdlib>
#include <exception>
#include <mutex>

namespace examo {

namespace {

// Metafiles are small drawings; anything bigger is not one worth reading.
constexpr qint64 kLargestMetafile = 64 * 1024 * 1024;
constexpr int kLargestSide = 10000;

// True when the bytes begin like a Windows metafile, placeable or standard.
bool isMetafile(const QByteArray& head) {
    if (head.startsWith(QByteArrayLiteral("\xD7\xCD\xC6\x9A")))
        return true;
    // The standard header: type 1 (in memory) or 2 (on disk), then its size of 9 words.
    return head.startsWith(QByteArrayLiteral("\x01\x00\x09\x00")) ||
           head.startsWith(QByteArrayLiteral("\x02\x00\x09\x00"));
}

// The size at 96 dots per inch that a placeable header announces is checked before rendering,
// so a damaged header cannot ask for a picture of gigabytes.
bool announcesSaneSize(const QByteArray& bytes) {
    if (!bytes.startsWith(QByteArrayLiteral("\xD7\xCD\xC6\x9A")))
        return true;
    if (bytes.size() < 22)
        return false;
    const auto word = [&](int at) { return qFromLittleEndian<qint16>(bytes.constData() + at); };
    const int unitsPerInch = quint16(word(14));
    if (unitsPerInch == 0)
        return false;
    const auto pixels = [&](int from, int to) { return std::abs(to - from) * 96 / unitsPerInch; };
    return pixels(word(6), word(10)) <= kLargestSide && pixels(word(8), word(12)) <= kLargestSide;
}

} // namespace

MagickPictureLoader::MagickPictureLoader() = default;

QImage MagickPictureLoader::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const bool metafile = isMetafile(file.read(4));
    file.close();
    if (metafile)
        return loadMetafile(path);

    QImageReader reader(path);
    // The content decides, so a file named .bmp that holds a JPEG still loads.
    reader.setDecideFormatFromContent(true);
    // Phone photographs are stored sideways with an orientation tag: shown upright, and the
    // natural size is the upright size that fitting and thumbnails work from.
    reader.setAutoTransform(true);
    return reader.read();
}

QImage MagickPictureLoader::loadMetafile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestMetafile)
        return {};
    const QByteArray bytes = file.readAll();
    if (!announcesSaneSize(bytes))
        return {};
    // ImageMagick is set up on the first metafile, not at start; it keeps its set-up for the
    // whole process and ignores repeated calls.
    std::call_once(m_magickStarted, [] {
        Magick::InitializeMagick(nullptr);
        // A damaged metafile must fail, not take the machine's memory: pictures larger than
        // the largest side are refused, and big ones go to a disk cache that is bounded too.
        // No time limit: ImageMagick 6 counts it from the first picture of the process and
        // then ends the whole process, which would close a quiz in the middle.
        Magick::ResourceLimits::width(kLargestSide);
        Magick::ResourceLimits::height(kLargestSide);
        Magick::ResourceLimits::area(64 * 1024 * 1024);
        Magick::ResourceLimits::memory(256 * 1024 * 1024);
        Magick::ResourceLimits::map(512 * 1024 * 1024);
        Magick::ResourceLimits::disk(1024 * 1024 * 1024);
    });
    try {
        Magick::Image image;
        // Warnings about odd records must not lose a picture that did render.
        image.quiet(true);
        image.density(Magick::Geometry(96, 96));
        image.magick("WMF");
        image.read(Magick::Blob(bytes.constData(), size_t(bytes.size())));
        const int width = int(image.columns());
        const int height = int(image.rows());
        if (width <= 0 || height <= 0)
            return {};
        QImage rendered(width, height, QImage::Format_RGBA8888);
        if (rendered.isNull())
            return {};
        image.write(0, 0, size_t(width), size_t(height), "RGBA", Magick::CharPixel,
                    rendered.bits());
        // Rendered pictures have a transparent background; paper and frames are white.
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.drawImage(0, 0, rendered);
        return picture;
    } catch (const Magick::Exception&) {
        return {};
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace examo
