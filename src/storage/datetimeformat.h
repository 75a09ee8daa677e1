#pragma once

#include "platform/clock.h"

#include <string>
#include <string_view>

namespace examo::text {

// Writes a moment with a pattern of these tokens, everything else copied as it stands:
// dddd weekday name, d day, dd two-digit day, mmm month abbreviation, m / mm month number
// (minutes when they follow an hour), yyyy year, hh / h hour, nn minutes, ss seconds,
// AMPM the morning or afternoon mark (with AMPM the hours run 12, 1 .. 11).
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& moment);

} // namespace examo::text
