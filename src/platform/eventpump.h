#pragma once

namespace examo {

// Lets the user interface process its pending events once, then returns.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    // Lets the window repaint, while the user's input waits until the caller is done.
    virtual void processEventsExceptInput() = 0;
};

} // namespace examo
