#include "platform/linux/magickpictureloader.h"

#include "platform/linux/metafilerenderer.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace examo {

namespace {

// Metafiles are small drawings; anything bigger is not one worth reading.
constexpr qint64 kLargestMetafile = 64 * 1024 * 1024;

// True when the bytes begin like a Windows metafile, placeable or standard.
bool isMetafile(const QByteArray& head) {
    if (head.startsWith(QByteArrayLiteral("\xD7\xCD\xC6\x9A")))
        return true;
    // The standard header: type 1 (in memory) or 2 (on disk), then its size of 9 words.
    return head.startsWith(QByteArrayLiteral("\x01\x00\x09\x00")) ||
           head.startsWith(QByteArrayLiteral("\x02\x00\x09\x00"));
}

} // namespace

MagickPictureLoader::MagickPictureLoader() = default;

QImage MagickPictureLoader::load(const QString& path) {
    // A named pipe would block the open until someone wrote to it; a device never ends.
    if (!QFileInfo(path).isFile())
        return {};
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
    return renderMetafile(file.readAll());
}

} // namespace examo
