#!/usr/bin/env python3
"""Writes macdonald.mid: "Old MacDonald Had a Farm" as a format-0 standard MIDI file.

A melody on channel 0 and a plain bass on channel 1, about five seconds long.
Usage: make_midi.py OUTPUT
"""

import struct
import sys

DIVISION = 480  # ticks per quarter note
TEMPO_US = 333333  # microseconds per quarter: 180 beats per minute

# (note, quarters); 0 is a rest.
G4, A4, B4, D4, E4 = 67, 69, 71, 62, 64
MELODY = [
    (G4, 1), (G4, 1), (G4, 1), (D4, 1),
    (E4, 1), (E4, 1), (D4, 2),
    (B4, 1), (B4, 1), (A4, 1), (A4, 1),
    (G4, 3), (0, 1),
]
G2, C3, D3 = 43, 48, 50
BASS = [(G2, 4), (C3, 2), (G2, 2), (G2, 2), (D3, 2), (G2, 4)]


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def events(part, channel, velocity):
    """Absolute-time note events (tick, order, bytes); note-offs sort before note-ons."""
    result, tick = [], 0
    for note, quarters in part:
        length = quarters * DIVISION
        if note:
            # Release a little early so repeated notes are heard as separate notes.
            result.append((tick, 1, bytes([0x90 | channel, note, velocity])))
            result.append((tick + length - 40, 0, bytes([0x80 | channel, note, 0])))
        tick += length
    return result


def track():
    head = [
        (0, 0, b"\xFF\x51\x03" + TEMPO_US.to_bytes(3, "big")),
        (0, 0, b"\xFF\x58\x04\x04\x02\x18\x08"),  # 4/4
        (0, 0, bytes([0xC0, 0])),  # channel 0: acoustic grand piano
        (0, 0, bytes([0xC1, 32])),  # channel 1: acoustic bass
    ]
    body = sorted(events(MELODY, 0, 96) + events(BASS, 1, 80), key=lambda e: (e[0], e[1]))
    end = sum(q for _, q in MELODY) * DIVISION
    data, last = b"", 0
    for tick, _, message in head + body + [(end, 2, b"\xFF\x2F\x00")]:
        data += varlen(tick - last) + message
        last = tick
    return data


def midi():
    data = track()
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, DIVISION)
            + b"MTrk" + struct.pack(">I", len(data)) + data)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(midi())
