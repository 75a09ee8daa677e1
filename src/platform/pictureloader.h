#pragma once

#include <QImage>
#include <QString>

namespace examo {

// Loads bitmaps, JPEG pictures and Windows metafiles at their natural size in pixels.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // A null image when the file cannot be read as a picture.
    virtual QImage load(const QString& path) = 0;
};

} // namespace examo
