#!/usr/bin/env python3
"""Writes the small test units of the playback tests: one RIFF/WAVE file per letter
(44-byte header, 22 050 Hz mono 16-bit, 801 samples of a sine of its own pitch, a 74-byte
trailing chunk). Run in this folder; the files are checked in."""
import math
import struct

for i, ch in enumerate("abdehijklmnostuv"):
    n = 801  # the first sample is never used by assembly
    freq = 150 + 23 * i
    samples = [int(8000 * math.sin(2 * math.pi * freq * k / 22050)) for k in range(n)]
    data = struct.pack("<%dh" % n, *samples)
    hdr = b"RIFF" + struct.pack("<I", 36 + len(data) + 74) + b"WAVE"
    hdr += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16)
    hdr += b"data" + struct.pack("<I", len(data))
    note = (b"test unit " + ch.encode()).ljust(54, b"\0")
    trailer = b"LIST" + struct.pack("<I", 66) + b"INFO" + b"ICMT" + struct.pack("<I", 54) + note
    assert len(trailer) == 74
    with open(ch.upper() + ".wav", "wb") as f:
        f.write(hdr + data + trailer)
