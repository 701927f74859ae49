#!/usr/bin/env python3
"""Checks what a vendor ships, as made by tools/release/make_media.py:

    check_media.py <release folder> <version> <media file>...

The disc image and the ZIP hold exactly the media files and autorun.inf, with
the same bytes, Setup.exe being the one beside them; autorun.inf is UTF-16 LE
with a byte-order mark and starts Setup.exe; the image is labelled KEYVANDOR
and carries Joliet names; SHA256SUMS holds the sums of the three files.
Prints one line per check and exits 0 when all pass, 1 otherwise.
"""
import hashlib
import os
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pe"))
from check_pe import report  # noqa: E402  (the same report as the executable's checks)

AUTORUN_KEYS = {"open": "Setup.exe", "icon": "Setup.exe,0", "label": "Keyvandor", "action": "安装Keyvandor"}
SECTOR = 2048


def read_tree(top):
    found = {}
    for folder, _, files in os.walk(top):
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, top).replace(os.sep, "/")] = f.read()
    return found


def volume_descriptors(image):
    """(type, descriptor) for each volume descriptor, from sector 16 on."""
    with open(image, "rb") as f:
        f.seek(16 * SECTOR)
        while True:
            block = f.read(SECTOR)
            if len(block) < SECTOR or block[1:6] != b"CD001" or block[0] == 255:
                return
            yield block[0], block


def autorun_checks(data, expect):
    expect(data[:2] == b"\xff\xfe", "autorun.inf starts with the UTF-16 LE byte-order mark")
    try:
        text = data[2:].decode("utf-16-le")
    except UnicodeDecodeError:
        expect(False, "autorun.inf is UTF-16 LE text")
        return
    lines = text.split("\r\n")
    expect(lines[0] == "[autorun]", "autorun.inf opens the section [autorun] (%r)" % lines[0])
    keys = dict(line.split("=", 1) for line in lines[1:] if "=" in line)
    expect(keys == AUTORUN_KEYS, "autorun.inf says %s" % ", ".join("%s=%s" % kv for kv in keys.items()))


def check(folder, version, files):
    results = []

    def expect(ok, what):
        results.append((bool(ok), what))

    zip_name = "Keyvandor-%s-media.zip" % version
    with open(os.path.join(folder, "Setup.exe"), "rb") as f:
        setup = f.read()
    expected = sorted(files + ["autorun.inf"])

    with zipfile.ZipFile(os.path.join(folder, zip_name)) as archive:
        in_zip = {name: archive.read(name) for name in archive.namelist()}
    expect(list(in_zip) == expected, "the ZIP holds, in order: " + " ".join(in_zip))
    expect(in_zip.get("Setup.exe") == setup, "the ZIP's Setup.exe is the one beside it")
    autorun_checks(in_zip.get("autorun.inf", b""), expect)

    image = os.path.join(folder, "Keyvandor.iso")
    descriptors = dict(volume_descriptors(image))
    label = descriptors.get(1, b"")[40:72].decode("ascii", "replace").rstrip()
    expect(label == "KEYVANDOR", "the disc is labelled KEYVANDOR (%r)" % label)
    expect(descriptors.get(2, b"")[88:91] in (b"%/@", b"%/C", b"%/E"), "the disc has Joliet names")
    with tempfile.TemporaryDirectory() as extracted:
        # The Joliet tree: the names Windows shows.
        run = subprocess.run(["xorriso", "-osirrox", "on", "-read_fs", "norock", "-indev", image,
                              "-extract", "/", extracted], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        expect(run.returncode == 0, "xorriso reads the disc" + (": " + run.stderr.decode()[-300:] if run.returncode else ""))
        on_disc = read_tree(extracted)
        for root, dirs, _ in os.walk(extracted):
            for d in dirs:
                os.chmod(os.path.join(root, d), 0o755)  # extracted read-only; let the folder go
    expect(sorted(on_disc) == expected, "the disc holds: " + " ".join(sorted(on_disc)))
    expect(on_disc == in_zip, "the disc's files have the ZIP's bytes")

    with open(os.path.join(folder, "SHA256SUMS")) as f:
        sums = dict(reversed(line.split("  ", 1)) for line in f.read().splitlines())
    expect(sorted(sums) == sorted(["Setup.exe", zip_name, "Keyvandor.iso"]), "SHA256SUMS names " + ", ".join(sums))
    for name, digest in sorted(sums.items()):
        with open(os.path.join(folder, name), "rb") as f:
            expect(hashlib.sha256(f.read()).hexdigest() == digest, "SHA256SUMS: %s matches" % name)
    return results


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    return report(argv[1], check(argv[1], argv[2], argv[3:]))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
