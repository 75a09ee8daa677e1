#include "quizrun/fitpicture.h"

#include "storage/textrules.h"

namespace examo {

QRect FittedRect(double W, double H, double BW, double BH) {
    double w = W;
    double h = H;
    if (W > BW || H > BH) {
        const float rw = static_cast<float>(BW / W);
        const float rh = static_cast<float>(BH / H);
        const float r = rw < rh ? rw : rh;
        w = text::RoundHalfEven(static_cast<double>(static_cast<float>(W * r)));
        h = text::RoundHalfEven(static_cast<double>(static_cast<float>(H * r)));
    }
    const auto x = static_cast<int>(text::WholePart((BW - w) / 2));
    const auto y = static_cast<int>(text::WholePart((BH - h) / 2));
    return QRect(x, y, static_cast<int>(w), static_cast<int>(h));
}

} // namespace examo
