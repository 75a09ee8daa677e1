#pragma once

namespace examo {

// Lets the user interface process its pending events once, then returns.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

} // namespace examo
