#pragma once

#include <QByteArray>

namespace examo {

// libwmf starts each saved device context afresh, its settings (text alignment and colour,
// background mode and colour, fill and drawing modes, character spacing) back at their
// defaults, where Windows keeps them. LibreOffice saves before every shape, so its
// baseline-aligned text fell a line low. The metafile with the records that set them repeated
// after each save; the bytes unchanged when they are not a metafile that can be walked.
QByteArray carryStateIntoSaves(const QByteArray& metafile);

} // namespace examo
