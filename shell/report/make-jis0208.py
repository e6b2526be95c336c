#!/usr/bin/env python3
"""Writes jis0208.cpp in this folder: the Unicode character of every
double-byte Shift-JIS code of JIS X 0208, as Python's shift_jis codec reads
it (which is how the GNU C library reads "SJIS" too), 0 where a code names
none. Every build decodes titles with this one table, whatever its C library
would make of the bytes."""
import os

here = os.path.dirname(os.path.abspath(__file__))
leads = list(range(0x81, 0xA0)) + list(range(0xE0, 0xF0))
trails = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))


def character(lead, trail):
    try:
        text = bytes([lead, trail]).decode("shift_jis")
    except UnicodeDecodeError:
        return 0
    return ord(text) if len(text) == 1 and ord(text) < 0x10000 else 0


codes = [character(lead, trail) for lead in leads for trail in trails]
lines = [", ".join(f"0x{code:04X}" for code in codes[at:at + 12]) + "," for at in range(0, len(codes), 12)]
with open(os.path.join(here, "jis0208.cpp"), "w") as out:
    out.write("// Written by make-jis0208.py; do not edit.\n")
    out.write('#include "shell/report/jis0208.h"\n\n')
    out.write(f"const uint16_t jis0208Table[{len(codes)}] = {{\n")
    out.write("".join(f"    {line}\n" for line in lines))
    out.write("};\n")
