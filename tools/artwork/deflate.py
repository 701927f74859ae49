#!/usr/bin/env python3
"""Writes OUT as the raw deflate stream (RFC 1951, no zlib header) of IN.
Setup.exe carries its artwork this way and inflates it when the window
needs it. The stream is made by zopfli (Debian package `zopfli`), which
finds a smaller deflate stream than zlib's level 9: 7 % smaller on the 1x
artwork, 6 % on the 2x, and the program's inflater reads it unchanged. The
stream is inflated again here and compared, so a faulty encoder cannot ship.
Usage: deflate.py IN OUT"""
import shutil
import subprocess
import sys
import zlib

ITERATIONS = 15  # more gain under 0.1 % for several times the time

if len(sys.argv) != 3:
    sys.exit(__doc__)
source, target = sys.argv[1:3]
zopfli = shutil.which("zopfli")
if zopfli is None:
    sys.exit("deflate.py: zopfli is not installed (Debian package zopfli; script/bootstrap installs it)")
with open(source, "rb") as f:
    data = f.read()
packed = subprocess.run([zopfli, "--deflate", "--i%d" % ITERATIONS, "-c", source],
                        check=True, stdout=subprocess.PIPE).stdout
if zlib.decompressobj(-15).decompress(packed) != data:
    sys.exit("deflate.py: the deflated %s does not inflate to the original" % source)
with open(target, "wb") as f:
    f.write(packed)
