#pragma once

#include <QRect>

namespace examo {

// Where a picture of W by H is drawn in a box of BW by BH: at its own size and centred
// when it fits, else shrunk with its shape kept to touch two opposite edges. The scale is
// held in single precision and the size rounded halves to even; the position is rounded down.
QRect FittedRect(double W, double H, double BW, double BH);

} // namespace examo
