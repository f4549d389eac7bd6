#!/usr/bin/env python3
"""Print a .dbf table as read by dbfread, as TSV, so that the C++ tests can compare it
with what dx::dbf::read gives for the same file.

Usage: check_dbf_with_dbfread.py FILE [ENCODING]

First line: the field names joined with tabs. Then one line per live record in file
order. Cells: null -> empty; logicals true/false; dates YYYY-MM-DD; integers as
integers; floats in their shortest form without a trailing ".0"; text as stored with
trailing blanks removed, and backslash, tab, LF, CR written as \\\\, \\t, \\n, \\r.
Without ENCODING dbfread takes the code page from the language driver byte.
"""
import datetime
import sys

from dbfread import DBF


def cell(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        if value == int(value) and abs(value) < 1e15:
            return str(int(value))
        return repr(value)
    if isinstance(value, (datetime.date, datetime.datetime)):
        return value.isoformat()
    if isinstance(value, bytes):
        value = value.decode("latin-1")
    text = str(value)
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    kwargs = {"load": True, "char_decode_errors": "strict"}
    if len(argv) > 2:
        kwargs["encoding"] = argv[2]
    table = DBF(argv[1], **kwargs)
    sys.stdout.reconfigure(encoding="utf-8", newline="\n")
    out = sys.stdout
    out.write("\t".join(table.field_names) + "\n")
    for record in table.records:
        out.write("\t".join(cell(v) for v in record.values()) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
