#!/usr/bin/env python3
"""Checks that every include in src/ runs down the house, never up or across.

Each folder of src/ is one layer; a file may include its own layer's headers
and those of the layers listed below it, nothing else. A layer absent from
the list fails the check, so a new folder is placed in the house on purpose.
Prints each include that breaks the rule; exits 1 if there is any.
"""
import pathlib
import re
import sys

# Each layer and the layers (or single headers) it may include, besides its own.
HOUSE = {
    "forms/picture": {"forms/error.h"},  # its failures are the runtime's
    "windows": set(),
    "forms": set(),
    "forms/headless": {"forms"},
    "forms/win32": {"forms", "forms/picture", "windows"},
    "shell": {"forms"},
    "shell/win32": {"shell", "forms", "windows"},
    "launcher": {"shell", "forms"},
    "app": {"launcher", "shell", "shell/win32", "forms", "forms/win32", "windows", "app"},
    "app/c_library": set(),
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def resolve(src: pathlib.Path, file: pathlib.Path, included: str) -> str:
    """The included file's path under src/ (from src/, the file's own folder or app/)."""
    for base in (src, file.parent, src / "app"):
        if (base / included).is_file():
            return (base / included).resolve().relative_to(src.resolve()).as_posix()
    return included


def main(src: pathlib.Path) -> int:
    broken = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = file.relative_to(src).parent.as_posix()
        if own not in HOUSE:
            broken.append(f"{file.relative_to(src)}: its folder is no layer of the house")
            continue
        for included in INCLUDE.findall(file.read_text(encoding="utf-8")):
            header = resolve(src, file, included)
            target = str(pathlib.PurePosixPath(header).parent)
            if target != own and target not in HOUSE[own] and header not in HOUSE[own]:
                broken.append(f"{file.relative_to(src)}: includes {included} ({own} -> {target})")
    for line in broken:
        print(line)
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))
