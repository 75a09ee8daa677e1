// The picture loader, with libwmf and Qt SVG for metafiles, in a module of its own that programs
// load on first use.
#include "platform/linux/magickpictureloader.h"

extern "C" __attribute__((visibility("default"))) examo::PictureLoader*
examo_make_picture_loader() {
    return new examo::MagickPictureLoader();
}
