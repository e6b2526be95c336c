#!/usr/bin/env python3
"""Writes the example melodies in this folder. They are made by the project
itself: short tunes whose chunks and lengths are consistent, each carrying an
old link event or LED tag for the converter to replace."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def be(value, width):
    return value.to_bytes(width, "big")


def imelody(version, tracks, title):
    subs = b"note" + be(2, 2) + b"\x00\x00"
    subs += b"vers" + be(4, 2) + b"0" + bytes([0x30 + version]) + b"00"
    subs += b"titl" + be(len(title), 2) + title
    body = b"".join(b"trac" + be(len(t), 4) + t for t in tracks)
    head = b"\x01\x00\x02"
    return b"melo" + be(len(head) + len(subs) + len(body) + 2, 4) + be(3 + len(subs), 2) + head + subs + body


def notes(*pitches, voice=0):
    """Note events of one voice: a delta time, the status (voice in the top
    two bits, key in the low six) and a length."""
    return b"".join(bytes([0x18, voice << 6 | p, 0x60]) for p in pitches)


def crc16(data):
    value = 0xFFFF
    for byte in data:
        value ^= byte << 8
        for _ in range(8):
            value = ((value << 1) ^ 0x1021) if value & 0x8000 else value << 1
            value &= 0xFFFF
    return value ^ 0xFFFF


def chunk(ident, data):
    return ident + be(len(data), 4) + data


def smaf():
    cnti = chunk(b"CNTI", b"\x00\x01\x01\x00\x00" + b"ST:Chime,L2:\x03,AN:Sorbelin,")
    track1 = chunk(b"MTR\x01", b"\x00\x00\x02\x02" + b"\x00\x00" + chunk(b"Mtsq", notes(60, 64, 67)))
    track2 = chunk(b"MTR\x02", b"\x00\x00\x02\x02" + b"\x44\x00" + chunk(b"Mtsq", notes(48, 55)))
    contents = cnti + track1 + track2
    image = b"MMMD" + be(len(contents) + 2, 4) + contents
    return image + be(crc16(image), 2)


old_vib = bytes.fromhex("00 FF FF 00 05 11 F2 04 20 01")
old_table = bytes.fromhex("00 FF FF 00 14 11 01 F2 07") + bytes([3] + [0] * 15)
end_of_track = bytes.fromhex("00 FF 2F 00")
files = {
    "fanfare-v2.mld": imelody(2, [old_vib + notes(24, 28, 31, 36, 31, 36, 40, 36) +
                                  notes(16, 19, 16, 24, voice=1) + end_of_track,
                                  notes(12, 7, 12, voice=0) + end_of_track], b"Fanfare"),
    "lullaby-v3.mld": imelody(3, [old_table + notes(31, 28, 24, 28, 31, 31, 28, 24, 26, 24) +
                                  notes(12, 16, 12, voice=2) + end_of_track,
                                  notes(7, 12, 7, 12, voice=1) + end_of_track], b"Lullaby"),
    "chime.mmf": smaf(),
}
for name, data in files.items():
    with open(os.path.join(here, name), "wb") as out:
        out.write(data)
