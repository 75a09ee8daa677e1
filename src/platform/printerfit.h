#pragma once

#include "platform/printer.h"

#include <QString>

namespace examo {

// How many characters of a line fit in the width (at least one), never half a character.
inline qsizetype fittingLength(Printer& printer, const QString& line, double width) {
    qsizetype low = 1;
    qsizetype high = line.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (printer.textWidth(line.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    if (low < line.size() && line[low - 1].isHighSurrogate())
        ++low;
    return low;
}

// Where a line too wide for the space left on the paper breaks: after the last word that fits,
// or, for one word wider than that, after as many characters as fit. The printer draws each
// line as it is, so anything past the edge would be lost.
inline qsizetype breakToFit(Printer& printer, const QString& line, double width) {
    qsizetype start = 0;
    while (start < line.size() && line[start] == QLatin1Char(' '))
        ++start;
    qsizetype best = 0;
    for (qsizetype i = line.indexOf(QLatin1Char(' '), start); i > start;
         i = line.indexOf(QLatin1Char(' '), i + 1)) {
        if (printer.textWidth(line.left(i)) > width)
            break;
        best = i;
    }
    return best > 0 ? best : fittingLength(printer, line, width);
}

} // namespace examo
