#pragma once

#include "platform/eventpump.h"

namespace examo::fakes {

// Counts how often the events were let through.
class FakeEventPump : public EventPump {
public:
    void processEvents() override { ++runs; }
    void processEventsExceptInput() override { ++paintRuns; }
    int runs = 0;
    int paintRuns = 0;
};

} // namespace examo::fakes
