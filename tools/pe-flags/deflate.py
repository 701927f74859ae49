#!/usr/bin/env python3
"""Writes OUT as the raw deflate stream (RFC 1951, no zlib header) of IN.
Setup.exe carries its artwork this way and inflates it when the window is
made. Usage: deflate.py IN OUT"""
import sys
import zlib

if len(sys.argv) != 3:
    sys.exit(__doc__)
with open(sys.argv[1], "rb") as f:
    data = f.read()
packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
with open(sys.argv[2], "wb") as f:
    f.write(packer.compress(data) + packer.flush())
