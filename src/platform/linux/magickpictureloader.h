#pragma once

#include "platform/pictureloader.h"

namespace examo {

// Bitmaps, JPEG pictures and whatever else Qt reads through QImageReader; Windows metafiles
// through ImageMagick, rendered at 96 dots per inch on white so that they keep the size they
// had on the old screens.
class MagickPictureLoader : public PictureLoader {
public:
    MagickPictureLoader();
    QImage load(const QString& path) override;

private:
    static QImage loadMetafile(const QString& path);
};

} // namespace examo
