#!/usr/bin/env python3
"""Writes cp932.cpp in this folder: the Unicode character of every
double-byte code of Shift-JIS as phones and Windows read it, Microsoft's
code page 932 (JIS X 0208 with the NEC special characters of row 13, the
NEC-selected and IBM extensions, and the user-defined rows), as Python's
cp932 codec reads it (which is how the GNU C library reads "CP932" too), 0
where a code names none. Every build decodes titles with this one table,
whatever its C library would make of the bytes."""
import os

here = os.path.dirname(os.path.abspath(__file__))
leads = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
trails = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))


def character(lead, trail):
    try:
        text = bytes([lead, trail]).decode("cp932")
    except UnicodeDecodeError:
        return 0
    return ord(text) if len(text) == 1 and ord(text) < 0x10000 else 0


codes = [character(lead, trail) for lead in leads for trail in trails]
lines = [", ".join(f"0x{code:04X}" for code in codes[at:at + 12]) + "," for at in range(0, len(codes), 12)]
with open(os.path.join(here, "cp932.cpp"), "w") as out:
    out.write("// Written by make-cp932.py; do not edit. The table keeps its own layout.\n")
    out.write("// clang-format off\n")
    out.write('#include "shell/report/cp932.h"\n\n')
    out.write(f"const uint16_t cp932Table[{len(codes)}] = {{\n")
    out.write("".join(f"    {line}\n" for line in lines))
    out.write("};\n")
