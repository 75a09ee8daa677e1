#include "platform/linux/metafilesaves.h"

#include <QList>
#include <QtEndian>

#include <map>

namespace examo {

namespace {

// Metafile records by their function.
enum : quint16 {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kRestoreDc = 0x0127,
};

// The records that set what libwmf forgets on a save: background mode, drawing mode, fill
// mode, character spacing, text alignment, background and text colours.
bool isForgottenSetting(quint16 function) {
    switch (function) {
    case 0x0102:
    case 0x0104:
    case 0x0106:
    case 0x0108:
    case 0x012E:
    case 0x0201:
    case 0x0209:
        return true;
    default:
        return false;
    }
}

using Settings = std::map<quint16, QByteArray>; // the last record of each, by function

// RESTOREDC: negative, that many saves back; positive, the save of that number.
void restore(QList<Settings>& saved, Settings& current, qint16 which) {
    const qsizetype index = which < 0 ? saved.size() + which : qsizetype(which) - 1;
    if (index >= 0 && index < saved.size()) {
        current = saved[index];
        saved.resize(index);
    }
}

} // namespace

QByteArray carryStateIntoSaves(const QByteArray& bytes) {
    const auto word = [&](qsizetype at) {
        return qFromLittleEndian<quint16>(bytes.constData() + at);
    };
    const qsizetype header = bytes.startsWith(QByteArrayLiteral("\xD7\xCD\xC6\x9A")) ? 22 : 0;
    if (bytes.size() < header + 18 || word(header + 2) != 9)
        return bytes;
    qsizetype at = header + 18;
    QByteArray out = bytes.left(at);
    Settings current;
    QList<Settings> saved;
    while (at + 6 <= bytes.size()) {
        const qint64 size = 2 * qint64(qFromLittleEndian<quint32>(bytes.constData() + at));
        const quint16 function = word(at + 4);
        if (size < 6 || size > bytes.size() - at)
            break;
        out += bytes.mid(at, size);
        at += size;
        if (function == kEof)
            break;
        if (function == kSaveDc) {
            saved.append(current);
            for (const auto& [setting, record] : current)
                out += record;
            // Saves in a loop must not multiply the metafile.
            if (out.size() > 2 * bytes.size() + 4096)
                return bytes;
        } else if (function == kRestoreDc && size >= 8) {
            restore(saved, current, qint16(word(at - size + 6)));
        } else if (isForgottenSetting(function) && size <= 16) {
            current[function] = bytes.mid(at - size, size);
        }
    }
    out += bytes.mid(at);
    qToLittleEndian<quint32>(quint32((out.size() - header) / 2), out.data() + header + 6);
    return out;
}

} // namespace examo
