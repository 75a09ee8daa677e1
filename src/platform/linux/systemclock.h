#pragma once

#include "platform/clock.h"

#include <QElapsedTimer>

class QDateTime;
class QLocale;

namespace examo {

// The moment with the locale's names. Week day, month and AM/PM names come as
// Windows-1252 bytes because they are written into score logs; a name that
// Windows-1252 cannot hold falls back to the English one.
LocalDateTime describeDateTime(const QDateTime& moment, const QLocale& locale);

class SystemClock : public Clock {
public:
    SystemClock();

    double timer() override;
    double monotonicSeconds() override;
    LocalDateTime now() override;

private:
    QElapsedTimer elapsed_;
};

} // namespace examo
