#pragma once

// Standard MIDI Files made byte by byte: ones GStreamer's MIDI parser plays, and ones it would
// never finish, which the programs must refuse in time.
#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace examo::testing::midi {

inline std::string fromHex(const std::string& hex) {
    return QByteArray::fromHex(QByteArray::fromStdString(hex)).toStdString();
}

inline std::string header(int format, int tracks) {
    return fromHex("4d546864 00000006") + char(0) + char(format) + char(0) + char(tracks) +
           char(0) + char(96);
}

inline std::string track(const std::string& hex) {
    const std::string events = fromHex(hex);
    const auto n = static_cast<std::uint32_t>(events.size());
    return std::string("MTrk") + char(n >> 24) + char(n >> 16 & 0xFF) + char(n >> 8 & 0xFF) +
           char(n & 0xFF) + events;
}

struct File {
    std::string name;
    std::string bytes;
    bool plays;
};

// Every kind the tests try: formats 0, 1 and 2, system bytes inside a track, lengths and
// numbers that run past their track, and files empty or with bytes after their last track.
inline std::vector<File> files() {
    const std::string note = "00903c40 60803c40 ";
    const std::string end = "00ff2f00";
    std::vector<File> all = {
        {"type0.mid", header(0, 1) + track(note + end), true},
        {"type1.mid", header(1, 2) + track("00ff510307a120" + end) + track(note + end), true},
        {"sysex.mid", header(0, 1) + track("00f7020102" + note + end), true},
        {"noend.mid", header(0, 1) + track(note), true},
        {"padded.mid", header(0, 1) + track(note + end) + std::string(40, '\0'), true},
        // The parser stops with an error on bytes after the last track that are no chunk.
        {"extra.mid", header(0, 1) + track(note + end) + "left over", false},
        {"empty.mid", "", false},
        {"type2.mid", header(2, 2) + track(note + end) + track(note + end), false},
        {"nostatus.mid", header(0, 1) + track("003c4060803c40" + end), false},
        {"cutnumber.mid", header(0, 1) + track("00903c40ffffff"), false},
        {"longsysex.mid", header(0, 1) + track("00f0ffffff7f"), false},
        {"longtrack.mid", header(0, 1) + track(note + end).substr(0, 12), false},
    };
    for (const char* system : {"f1", "f2", "f3", "f6", "f8", "fa", "fe"})
        all.push_back({std::string("system-") + system + ".mid",
                       header(0, 1) + track(note + "00" + system + end), false});
    return all;
}

} // namespace examo::testing::midi
