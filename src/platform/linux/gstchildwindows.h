#pragma once

#include <cstdint>

struct xcb_connection_t;
struct xcb_screen_t;

namespace examo::gstmedia {

// X11 sizes and positions are 16-bit.
inline constexpr long kLargestCoordinate = 32767;

// Child windows of our own on the X server, one per movie: the sink draws into it, and it
// sits inside the caller's window where the picture belongs. XCB rather than Xlib because
// the sink asks for its window from a streaming thread, and XCB reports a bad window as an
// error reply instead of ending the program.
class ChildWindows {
public:
    ChildWindows();
    ~ChildWindows();
    ChildWindows(const ChildWindows&) = delete;
    ChildWindows& operator=(const ChildWindows&) = delete;

    bool usable() const { return m_screen != nullptr; }

    // A black window, unmapped on the root until it is given a parent.
    std::uint32_t create(int width, int height);
    // Shows the window at the top left of parent; false when parent is no window.
    bool attach(std::uint32_t id, std::uint32_t parent);
    void place(std::uint32_t id, long x, long y, long width, long height);
    void destroy(std::uint32_t id);

private:
    void flush();

    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
};

} // namespace examo::gstmedia
