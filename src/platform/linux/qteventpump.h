#pragma once

#include "platform/eventpump.h"

#include <QCoreApplication>

namespace examo {

class QtEventPump : public EventPump {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
    void processEventsExceptInput() override {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
};

} // namespace examo
