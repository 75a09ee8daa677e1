#pragma once

#include "platform/pictureloader.h"

#include <mutex>

namespace examo {

// Bitmaps, JPEG pictures and whatever else Qt reads through QImageReader; Windows metafiles
// through ImageMagick, rendered at 96 dots per inch on white so that they keep the size they
// had on the old screens. ImageMagick is set up when the first metafile is read.
class MagickPictureLoader : public PictureLoader {
public:
    MagickPictureLoader();
    QImage load(const QString& path) override;

private:
    QImage loadMetafile(const QString& path);

    std::once_flag m_magickStarted;
};

} // namespace examo
