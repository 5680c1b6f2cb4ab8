#!/usr/bin/env python3
"""Prints every Hangul syllable the game's sources hold, once each: the
letters the page's cut-down Hangul font must keep."""
import pathlib
import sys

letters = set()
for path in pathlib.Path(sys.argv[1]).rglob("*"):
    if path.suffix in (".cpp", ".h"):
        letters.update(c for c in path.read_text(encoding="utf-8") if "\uac00" <= c <= "\ud7a3")
print("".join(sorted(letters)))
