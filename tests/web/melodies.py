"""Melodies for the page's tests, written from notes: i-melody files with up
to four tracks of four voices (16 channels), and SMAF files with one Mobile
score track (track 5 or 6, 16 channels) or none, and audio tracks of
recorded sound. A note is (channel, start tick, length in ticks, MIDI key);
a tick is 10 ms in both formats."""


def be(value, width):
    return value.to_bytes(width, "big")


def chunk(ident, data):
    return ident + be(len(data), 4) + data


def crc16(data):
    value = 0xFFFF
    for byte in data:
        value ^= byte << 8
        for _ in range(8):
            value = ((value << 1) ^ 0x1021) if value & 0x8000 else value << 1
            value &= 0xFFFF
    return value ^ 0xFFFF


def imeloTrack(notes, noteLength, padding):
    """A track's events: time base 48 at tempo 125 (10 ms a tick), waits
    over 255 ticks as no-ops, notes of 3 or 4 bytes, after every
    `padding`-th note an event of no timing (none for 0), the end."""
    events = bytearray(b"\x00\xFF\xC3\x7D")
    now = 0
    for index, (channel, start, length, key) in enumerate(sorted(notes, key=lambda n: (n[1], n[0]))):
        delta = start - now
        while delta > 255:
            events += b"\xFF\xFF\xDE\x00"
            delta -= 255
        events += bytes([delta, (channel - 1) % 4 << 6 | (key - 45), length]) + (b"\xFC" if noteLength == 4 else b"")
        if padding and index % padding == 0:
            events += b"\x00\xFF\xB1\x40"
        now = start
    return bytes(events + b"\x00\xFF\xDF\x00")


def imelody(notes, title=b"Test", version=2, noteLength=3, padding=0):
    """Channel c is voice (c - 1) % 4 of track (c - 1) // 4."""
    trackCount = max(1, max((n[0] - 1) // 4 + 1 for n in notes)) if notes else 1
    tracks = [imeloTrack([n for n in notes if (n[0] - 1) // 4 == t], noteLength, padding) for t in range(trackCount)]
    return imelodyOfTracks(tracks, title, version, noteLength)


def longPiece(waits):
    """An i-melody of one note, then `waits` long no-ops of 65,280 ticks at
    the slowest tempo (6 ticks a quarter note, one quarter a minute: 10 s a
    tick): 2,000 of them make 8 KB that last 1.3 x 10^12 ms."""
    events = b"\x00\xFF\xC0\x01" + b"\x00\x0F\x30" + b"\x00\xFF\xDC\xFF" * waits + b"\x00\xFF\xDF\x00"
    return imelodyOfTracks([events], b"Long", 2, 3)


def imelodyOfTracks(tracks, title, version, noteLength):
    subs = b"note" + be(2, 2) + be(noteLength - 3, 2)
    subs += b"vers" + be(4, 2) + b"0" + bytes([0x30 + version]) + b"00"
    subs += b"titl" + be(len(title), 2) + title
    body = b"".join(b"trac" + be(len(t), 4) + t for t in tracks)
    head = bytes([1, 0, len(tracks)])
    return b"melo" + be(len(head) + len(subs) + len(body) + 2, 4) + be(3 + len(subs), 2) + head + subs + body


def varLength(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def handyNumber(value):
    """A number of an audio track's sequence: one byte below 128, else two."""
    return bytes([value]) if value < 0x80 else bytes([0x80 | ((value >> 7) - 1), value & 0x7F])


def audioTrack(spans):
    """An audio track (format type 0, mono ADPCM, both time bases 10 ms)
    that plays wave 1 for each (start tick, length in ticks), and its wave."""
    sequence, now = bytearray(), 0
    for start, length in sorted(spans):
        sequence += handyNumber(start - now) + b"\x01" + handyNumber(length)
        now = start
    parts = chunk(b"Atsq", bytes(sequence + b"\x00\x00\x00\x00")) + chunk(b"Awa\x01", bytes(40))
    return chunk(b"ATR\x00", b"\x00\x00\x10\x00\x10\x10" + parts)


def smaf(notes, title=b"Test", status=bytes(16), track=5, recorded=(), shiftJis=False):
    """A SMAF file with a contents-info chunk and one Mobile score track
    (format type 2, both time bases 10 ms, the 16 channel status bytes
    given), or no score track for `track` None; and an audio track that
    plays the spans of `recorded` ((start tick, length in ticks)), if any.
    The title is Latin-1, or Shift-JIS for `shiftJis`."""
    sequence = bytearray()
    now = 0
    for channel, start, length, key in sorted(notes, key=lambda n: (n[1], n[0])):
        sequence += varLength(start - now) + bytes([0x90 | (channel - 1), key, 0x64]) + varLength(length)
        now = start
    head = b"\x02\x00\x10\x10" + status + chunk(b"Mtsq", bytes(sequence + b"\x00\xFF\x2F\x00"))
    contents = chunk(b"CNTI", bytes([0, 1, 0 if shiftJis else 1, 0, 0]) + b"ST:" + title + b",")
    if track is not None:
        contents += chunk(b"MTR" + bytes([track]), head)
    if recorded:
        contents += audioTrack(recorded)
    image = b"MMMD" + be(len(contents) + 2, 4) + contents
    return image + be(crc16(image), 2)


def tune(channels, count, seed=1):
    """`count` notes spread over the channels, a few overlapping, a few
    touching: a fixed walk rather than a random one, so that a failure
    repeats."""
    notes, state = [], seed
    ticks = [0] * (max(channels) + 1)
    for index in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        channel = channels[index % len(channels)]
        gap = [0, 0, 3, 8, 20, 40, 90][state % 7]
        length = [5, 10, 15, 30, 60][(state >> 8) % 5]
        notes.append((channel, ticks[channel] + gap, length, 50 + (state >> 12) % 30))
        ticks[channel] += gap + length - (4 if state % 11 == 0 else 0)  # now and then an overlap
    return notes


def band(lead=5, bass=6, drums=10, bars=4, lowKey=72, bassKey=45):
    """A ring melody whose parts the tests know: a tune on `lead` (quarters
    and eighths through a scale around `lowKey`), a bass line on `bass`
    (root and fifth on each beat), drums on `drums` (a kick on the beats and
    closed hats of 20 ms on the eighths); 125 beats a minute, 48 ticks a
    beat. None for a part leaves it out. Every key is one that both formats'
    writers here hold (45 to 108)."""
    scale = [0, 2, 4, 5, 7, 9, 11, 12]
    notes = []
    for bar in range(bars):
        at = bar * 192
        if lead:
            steps = [(0, 48), (48, 24), (72, 24), (96, 48), (144, 48)]
            for k, (offset, length) in enumerate(steps):
                notes.append((lead, at + offset, length * 9 // 10, lowKey + scale[(bar * 3 + k) % len(scale)]))
        for beat in range(4):
            if bass:
                notes.append((bass, at + beat * 48, 30, bassKey + (7 if beat % 2 else 0)))
            if drums:
                notes.append((drums, at + beat * 48, 3, 47))
                notes += [(drums, at + beat * 48 + half, 2, 54) for half in (0, 24)]
    return notes
