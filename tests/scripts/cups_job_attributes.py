#!/usr/bin/env python3
"""Prints attributes of a print job that the CUPS scheduler kept: its control file (c00042
in the spool folder) is one IPP message, read here attribute by attribute.

Usage: cups_job_attributes.py CONTROL_FILE [NAME...]
Prints "name value[,value...]" one a line: the attributes named, or all of them; an
attribute the job lacks is printed with no value.
"""
import struct
import sys


def attributes(data):
    out, name, pos = {}, None, 8  # past version, operation and request id
    while pos < len(data):
        tag = data[pos]
        pos += 1
        if tag == 0x03:  # end of attributes
            break
        if tag < 0x10:   # a group begins
            continue
        (name_len,) = struct.unpack(">H", data[pos:pos + 2])
        pos += 2
        if name_len:
            name = data[pos:pos + name_len].decode("utf-8", "replace")
        pos += name_len
        (value_len,) = struct.unpack(">H", data[pos:pos + 2])
        pos += 2
        raw = data[pos:pos + value_len]
        pos += value_len
        if tag in (0x21, 0x23) and value_len == 4:  # integer, enum
            value = str(struct.unpack(">i", raw)[0])
        elif tag == 0x22:  # boolean
            value = "true" if raw and raw[0] else "false"
        elif tag >= 0x40:  # texts, names, keywords, addresses
            value = raw.decode("utf-8", "replace")
        else:
            value = raw.hex()
        out.setdefault(name, []).append(value)
    return out


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as f:
        attrs = attributes(f.read())
    for name in sys.argv[2:] or list(attrs):
        print(name, ",".join(attrs.get(name, [])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
