#pragma once

#include "platform/printer.h"

#include <QString>
#include <QStringList>

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

// Text of lines ended by CR LF, each line wider than the paper broken to the printable width:
// the printer draws each line as it is, so its end would be lost at the edge.
inline QString fitToPage(Printer& printer, const QString& text) {
    const double width = printer.scaleWidth();
    QStringList lines;
    for (QString rest : text.split(QStringLiteral("\r\n"))) {
        bool broken = false;
        while (!rest.isEmpty() && printer.textWidth(rest) > width) {
            broken = true;
            const qsizetype cut = breakToFit(printer, rest, width);
            QString piece = rest.left(cut);
            while (piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
            lines << piece;
            rest.remove(0, cut);
            while (rest.startsWith(QLatin1Char(' ')))
                rest.remove(0, 1);
        }
        if (!broken || !rest.isEmpty())
            lines << rest;
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace examo
