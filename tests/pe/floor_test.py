#!/usr/bin/env python3
"""The floor checks of check_pe.py fail on what would stop Setup.exe on
Windows 2000 (or 95): each case changes a copy of the shipped Setup.exe in one place
and expects exactly that check to fail.

    floor_test.py <Setup.exe>
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_pe  # noqa: E402


def header(data):
    return struct.unpack_from("<I", data, 0x3C)[0] + 24  # the optional header


def set_u16(at, value):
    return lambda data: struct.pack_into("<H", data, at(data), value)


def rename(old, new):
    def change(data):
        at = data.index(old + b"\0")
        data[at:at + len(old)] = new
    return change


def set_directory(index):
    return lambda data: struct.pack_into("<II", data, header(data) + 96 + 8 * index, 0x1000, 24)


CASES = [
    ("subsystem 6.00", set_u16(lambda d: header(d) + 48, 6), "subsystem version"),
    ("OS 6.00", set_u16(lambda d: header(d) + 40, 6), "OS version"),
    # An import newer than Windows 2000 (same length, so the file stays whole).
    ("imports GetTickCount64", rename(b"GetTickCount", b"GetTickCou64"), "every import"),
    # A Unicode function that Windows 95 exports only as a stub.
    ("imports CreateEventW", rename(b"CreateEventA", b"CreateEventW"), "Windows 95"),
    ("looks up an unreviewed name", rename(b"GetDpiForWindow", b"GetDpiForWindoX"), "looked up at run time"),
    ("thread-local storage", set_directory(check_pe.DIR_TLS), "thread-local storage"),
    ("delayed imports", set_directory(check_pe.DIR_DELAY_IMPORT), "delay-import"),
]


def main(path):
    with open(path, "rb") as f:
        shipped = f.read()
    failures = 0
    for name, change, expected in CASES:
        data = bytearray(shipped)
        change(data)
        results = []
        check_pe.check_floor(check_pe.Pe(bytes(data)), lambda ok, what: results.append((bool(ok), what)))
        failed = [what for ok, what in results if not ok]
        good = len(failed) == 1 and expected in failed[0]
        failures += not good
        print(("  ok " if good else "FAIL ") + "%s: %s" % (name, "; ".join(failed) or "nothing failed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
