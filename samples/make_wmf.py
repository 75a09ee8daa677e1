#!/usr/bin/env python3
"""Writes barn.wmf: a placeable Windows metafile of a red barn under a sun.

The records are written by hand so the picture needs no drawing program that can
save metafiles. Usage: make_wmf.py OUTPUT
"""

import struct
import sys

WIDTH, HEIGHT = 270, 220  # logical units; with 96 units per inch, pixels at 96 dpi


def rgb(r, g, b):
    return r | (g << 8) | (b << 16)  # COLORREF is 0x00BBGGRR


class Metafile:
    def __init__(self):
        self.records = []
        self.used = set()  # object table slots in use
        self.objects = 0  # table size the header must announce
        self.current = {}  # kind -> slot of the selected pen, brush or font

    def record(self, function, payload=b""):
        if len(payload) % 2:
            payload += b"\0"
        words = 3 + len(payload) // 2
        self.records.append(struct.pack("<IH", words, function) + payload)

    def create(self, kind, function, payload):
        # A player puts each new object in the lowest free slot of its table.
        index = min(set(range(len(self.used) + 1)) - self.used)
        self.used.add(index)
        self.objects = max(self.objects, len(self.used))
        self.record(function, payload)
        self.record(0x012D, struct.pack("<H", index))  # SELECTOBJECT
        # The old object is deleted only once it is no longer selected.
        old = self.current.get(kind)
        if old is not None:
            self.record(0x01F0, struct.pack("<H", old))  # DELETEOBJECT
            self.used.discard(old)
        self.current[kind] = index

    def brush(self, color):
        self.create("brush", 0x02FC, struct.pack("<HIH", 0, color, 0))  # BS_SOLID

    def pen(self, color, width=1):
        self.create("pen", 0x02FA, struct.pack("<HhhI", 0, width, 0, color))  # PS_SOLID

    def font(self, height, face, weight=700):
        logfont = struct.pack("<hhhhhBBBBBBBB", -height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0)
        logfont += face.encode("cp1252").ljust(32, b"\0")
        self.create("font", 0x02FB, logfont)

    def rectangle(self, left, top, right, bottom):
        self.record(0x041B, struct.pack("<hhhh", bottom, right, top, left))

    def ellipse(self, left, top, right, bottom):
        self.record(0x0418, struct.pack("<hhhh", bottom, right, top, left))

    def polygon(self, points):
        data = struct.pack("<H", len(points))
        for x, y in points:
            data += struct.pack("<hh", x, y)
        self.record(0x0324, data)

    def line(self, x1, y1, x2, y2):
        # MOVETO and LINETO rather than a two-point POLYLINE, which some players skip.
        self.record(0x0214, struct.pack("<hh", y1, x1))
        self.record(0x0213, struct.pack("<hh", y2, x2))

    def text(self, x, y, string):
        data = string.encode("cp1252")
        payload = struct.pack("<H", len(data)) + data
        if len(data) % 2:
            payload += b"\0"
        payload += struct.pack("<hh", y, x)
        self.record(0x0521, payload)

    def shape(self, fill, outline, draw):
        self.brush(fill)
        self.pen(outline)
        draw()

    def bytes(self):
        self.record(0x0000)  # META_EOF
        body = b"".join(self.records)
        total_words = 9 + len(body) // 2
        max_record = max(len(r) // 2 for r in self.records)
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, total_words, self.objects, max_record, 0)
        words = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, WIDTH, HEIGHT, 96, 0)
        checksum = 0
        for (word,) in struct.iter_unpack("<H", words):
            checksum ^= word
        return words + struct.pack("<H", checksum) + header + body


def barn():
    m = Metafile()
    m.record(0x020B, struct.pack("<hh", 0, 0))  # SETWINDOWORG (y, x)
    m.record(0x020C, struct.pack("<hh", HEIGHT, WIDTH))  # SETWINDOWEXT (y, x)
    m.record(0x0102, struct.pack("<H", 1))  # SETBKMODE: transparent behind the text
    m.record(0x0106, struct.pack("<H", 1))  # SETPOLYFILLMODE: alternate

    sky, grass = rgb(135, 200, 245), rgb(90, 170, 60)
    m.shape(sky, sky, lambda: m.rectangle(0, 0, WIDTH, 150))
    m.shape(grass, grass, lambda: m.rectangle(0, 150, WIDTH, HEIGHT))
    m.shape(rgb(255, 215, 0), rgb(240, 160, 0), lambda: m.ellipse(205, 15, 255, 65))
    cloud = rgb(255, 255, 255)
    m.shape(cloud, cloud, lambda: m.ellipse(20, 25, 70, 50))
    m.shape(cloud, cloud, lambda: m.ellipse(45, 15, 95, 48))

    red, dark = rgb(200, 30, 30), rgb(110, 20, 20)
    m.shape(red, dark, lambda: m.rectangle(60, 90, 200, 185))  # barn wall
    m.shape(rgb(150, 25, 25), dark, lambda: m.polygon([(50, 92), (130, 35), (210, 92)]))
    white = rgb(255, 255, 255)
    m.shape(white, white, lambda: m.rectangle(105, 130, 155, 185))  # door frame
    m.shape(red, dark, lambda: m.rectangle(110, 135, 150, 185))  # door
    m.pen(white, width=3)
    m.line(110, 135, 150, 185)
    m.line(150, 135, 110, 185)
    m.shape(white, dark, lambda: m.rectangle(118, 62, 142, 82))  # hay loft window

    m.shape(rgb(230, 190, 80), rgb(170, 120, 30), lambda: m.ellipse(205, 165, 250, 190))  # hay bale
    m.pen(rgb(120, 80, 40), width=3)
    for x in range(5, 56, 10):
        m.line(x, 150, x, 185)  # fence posts
    m.line(0, 160, 58, 160)
    m.line(0, 175, 58, 175)

    m.font(18, "Arial")
    m.record(0x0209, struct.pack("<I", rgb(255, 255, 255)))  # SETTEXTCOLOR
    m.record(0x012E, struct.pack("<H", 6))  # SETTEXTALIGN: centre, top
    m.text(130, 195, "Rivera Farm")
    return m.bytes()


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(barn())
