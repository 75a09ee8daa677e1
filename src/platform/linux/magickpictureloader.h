#pragma once

#include "platform/pictureloader.h"

namespace examo {

// Bitmaps, JPEG pictures and whatever else Qt reads through QImageReader; Windows metafiles
// through libwmf and Qt SVG (metafilerenderer.h), drawn at 96 dots per inch on white so that
// they keep the size they had on the old screens. Lives in the module that once held
// ImageMagick, whose metafile coder lost the text of metafiles made by LibreOffice.
class MagickPictureLoader : public PictureLoader {
public:
    MagickPictureLoader();
    QImage load(const QString& path) override;

private:
    QImage loadMetafile(const QString& path);
};

} // namespace examo
