#pragma once

#include <cstdint>

namespace examo {

// The picture box a movie plays in: its inner size in pixels and the handle by which the media
// command service finds it.
class DisplayBox {
public:
    virtual ~DisplayBox() = default;
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    virtual std::intptr_t hWnd() const = 0;
};

} // namespace examo
