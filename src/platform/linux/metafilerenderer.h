#pragma once

#include <QByteArray>
#include <QImage>

namespace examo {

// Draws a Windows metafile, placeable or standard, on white at its natural size at 96 dots per
// inch: libwmf plays it into SVG and Qt SVG paints that, text included. A null image when the
// bytes are not a metafile that can be drawn within bounded memory and size. Needs a
// QGuiApplication for the fonts.
QImage renderMetafile(const QByteArray& bytes);

} // namespace examo
