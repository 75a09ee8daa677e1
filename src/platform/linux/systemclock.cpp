#include "platform/linux/systemclock.h"

#include "platform/cp1252.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

namespace examo {

namespace {

std::string logName(const QString& name, const QString& englishName) {
    cp1252::EncodeResult encoded = cp1252::fromUtf8(name.toStdString());
    if (encoded.ok() && !name.isEmpty())
        return encoded.bytes;
    return englishName.toStdString();
}

} // namespace

LocalDateTime describeDateTime(const QDateTime& moment, const QLocale& locale) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QLocale english = QLocale::c();

    LocalDateTime result;
    result.year = date.year();
    result.month = date.month();
    result.day = date.day();
    result.dayOfWeek = date.dayOfWeek();
    result.hour = time.hour();
    result.minute = time.minute();
    result.second = time.second();
    result.weekdayName = logName(locale.dayName(result.dayOfWeek, QLocale::LongFormat),
                                 english.dayName(result.dayOfWeek, QLocale::LongFormat));
    result.monthShortName = logName(locale.monthName(result.month, QLocale::ShortFormat),
                                    english.monthName(result.month, QLocale::ShortFormat));
    result.amText = logName(locale.amText(), QStringLiteral("AM"));
    result.pmText = logName(locale.pmText(), QStringLiteral("PM"));
    result.shortDate = locale.toString(date, QLocale::ShortFormat).toStdString();
    return result;
}

SystemClock::SystemClock() {
    elapsed_.start();
}

double SystemClock::timer() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double SystemClock::monotonicSeconds() {
    return elapsed_.nsecsElapsed() / 1e9;
}

LocalDateTime SystemClock::now() {
    return describeDateTime(QDateTime::currentDateTime(), QLocale::system());
}

} // namespace examo
