#include "platform/linux/gstchildwindows.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace examo::gstmedia {

ChildWindows::ChildWindows() {
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0)
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    if (it.rem > 0)
        m_screen = it.data;
}

ChildWindows::~ChildWindows() {
    xcb_disconnect(m_connection);
}

std::uint32_t ChildWindows::create(int width, int height) {
    const std::uint32_t id = xcb_generate_id(m_connection);
    const std::uint32_t background = m_screen->black_pixel;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, id, m_screen->root, 0, 0,
                      static_cast<std::uint16_t>(std::clamp(width, 1, int(kLargestCoordinate))),
                      static_cast<std::uint16_t>(std::clamp(height, 1, int(kLargestCoordinate))), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, XCB_CW_BACK_PIXEL,
                      &background);
    flush();
    return id;
}

bool ChildWindows::attach(std::uint32_t id, std::uint32_t parent) {
    xcb_generic_error_t* error = xcb_request_check(
        m_connection, xcb_reparent_window_checked(m_connection, id, parent, 0, 0));
    if (error != nullptr) {
        std::free(error);
        return false;
    }
    xcb_map_window(m_connection, id);
    flush();
    return true;
}

void ChildWindows::place(std::uint32_t id, long x, long y, long width, long height) {
    const std::uint32_t values[] = {static_cast<std::uint32_t>(static_cast<std::int32_t>(x)),
                                    static_cast<std::uint32_t>(static_cast<std::int32_t>(y)),
                                    static_cast<std::uint32_t>(width),
                                    static_cast<std::uint32_t>(height)};
    xcb_configure_window(m_connection, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    flush();
}

void ChildWindows::destroy(std::uint32_t id) {
    xcb_destroy_window(m_connection, id);
    flush();
}

// Nothing here waits for events, but errors arrive as events too (a window the caller
// destroyed before closing its movie), so they are dropped rather than left to pile up.
void ChildWindows::flush() {
    xcb_flush(m_connection);
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

} // namespace examo::gstmedia
