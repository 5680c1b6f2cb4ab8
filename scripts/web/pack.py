#!/usr/bin/env python3
"""Packs the page's data into gzip-compressed packages, one per moment of the
game, in the order the game first needs them, and prints their table as JSON.

    pack.py DATA_FOLDER SITE_FOLDER

A package is its files' bytes one after the other, compressed whole; the
table names each file and its size, so the page cuts them apart as the bytes
arrive. Static hosts send files as they are, so the compression is ours.

The first package is what the first frame needs: the pictures the intro's
first stage draws, the panel's and the cursor's, the fonts, and the heads of
the files the intro opens at once but uses only later (the rest of its
pictures, its first tune): a picture's head is all that registering it reads,
and a tune's is all its decoder reads before the page's sound is on. Their
rest follows in the next package. Each package says which scene first opens
its files ("scene") and, for a file a scene draws or plays only after a
while, how many seconds into that scene it must be there ("due"); the page
holds the game still, showing progress, when it would otherwise reach a file
that has not arrived.
"""
import fnmatch
import gzip
import json
import os
import sys

# (name, scene, due seconds, file patterns). A file goes to the first package
# whose pattern it matches; files that match none go to the last package.
PACKAGES = [
    ("start", "intro", 0, ["img/main0.bmp", "img/main1.bmp", "img/main2.bmp", "img/skip.png",
                           "img/point*.bmp", "img/option*.bmp", "img/bgm*.bmp", "img/effect*.bmp",
                           "fonts/*"]),
    # The light is first drawn 4.5 s into the intro (once the second layer has
    # risen), the other layers and the play button later still.
    ("intro", "intro", 3.5, ["soundfile/intro1.mp3", "img/light.bmp", "img/main*.bmp", "img/play.bmp"]),
    # The second tune follows the first, which lasts about ten seconds.
    ("tune", "intro", 6, ["soundfile/intro2.mp3"]),
    ("game", "game", 0, ["img/bg.bmp", "img/white.bmp", "img/block*.bmp", "img/target.png",
                         "img/special.png", "img/refresh.bmp", "img/watch.bmp", "img/strings.bmp",
                         "img/bgBack.bmp", "img/bgFront.bmp", "img/marlo.bmp", "img/dust.bmp",
                         "img/string_*.bmp", "img/speed*.bmp", "img/niddle.bmp", "img/talkbox*.bmp",
                         "img/daruma.bmp", "img/drum.bmp", "img/pot.bmp", "img/dynamite.bmp",
                         "img/bat.bmp", "img/manhole.bmp", "soundfile/combo*.mp3",
                         "soundfile/delete.mp3", "soundfile/jump.wav", "soundfile/playbgm.mp3"]),
    ("rank", "rank", 0, ["*"]),
]

# Files of the second package whose heads come in the first. A picture's head
# is what the game reads to register it (its headers and palette, at most
# this many bytes); the tune's covers more than its decoder reads ahead while
# the sound is still off (under a second), which the page keeps off until the
# tune is whole.
HEADS_IN_FIRST = {"img/light.bmp": 1178, "img/main*.bmp": 1178, "img/play.bmp": 1178,
                  "soundfile/intro1.mp3": 24 * 1024}

# The icon is the page's own (index.html, the manifest): not packed.
LEFT_OUT = {"img/icon.png"}


def read_piece(data, piece):
    with open(os.path.join(data, piece[0]), "rb") as f:
        f.seek(piece[2] if len(piece) > 2 else 0)
        return f.read(piece[1])


# A picture registered from its head alone must be one the game decodes only
# when first drawn: not run-length encoded (those it decodes at once).
def check_plain_bmp(data, rel):
    with open(os.path.join(data, rel), "rb") as f:
        head = f.read(34)
    if head[:2] != b"BM" or int.from_bytes(head[30:34], "little") not in (0, 3):
        sys.exit(f"pack.py: {rel} is not a plain BMP; it cannot come in two parts")


def main():
    data, site = sys.argv[1], sys.argv[2]
    files = []
    for folder, _, names in os.walk(data):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), data)
            if rel not in LEFT_OUT:
                files.append(rel)
    size = lambda rel: os.path.getsize(os.path.join(data, rel))
    groups = [[] for _ in PACKAGES]
    for rel in sorted(files):
        index = next(i for i, p in enumerate(PACKAGES) if any(fnmatch.fnmatchcase(rel, g) for g in p[3]))
        groups[index].append(rel)
    # Within a package, files in the order of the patterns: the scene's own order.
    for (name, scene, due, patterns), group in zip(PACKAGES, groups):
        order = lambda rel: next(i for i, g in enumerate(patterns) if fnmatch.fnmatchcase(rel, g))
        group.sort(key=lambda rel: (order(rel), rel))
    # A piece is [file, bytes] for a whole file, or [file, bytes, from, whole
    # size] for a part of one.
    pieces = [[[rel, size(rel)] for rel in group] for group in groups]
    for rel in groups[1]:
        head = next((n for g, n in HEADS_IN_FIRST.items() if fnmatch.fnmatchcase(rel, g)), 0)
        if not head or size(rel) <= head:
            continue
        if rel.endswith(".bmp"):
            check_plain_bmp(data, rel)
        pieces[0].append([rel, head, 0, size(rel)])
        rest = next(p for p in pieces[1] if p[0] == rel)
        rest[1:] = [size(rel) - head, head, size(rel)]
    table = []
    for (name, scene, due, _), group in zip(PACKAGES, pieces):
        blob = b"".join(read_piece(data, p) for p in group)
        out = f"{name}.pack"
        # mtime 0: the same data gives the same package, so a build's version
        # changes only when its content does.
        packed = gzip.compress(blob, compresslevel=9, mtime=0)
        with open(os.path.join(site, out), "wb") as f:
            f.write(packed)
        table.append({"name": name, "url": out, "scene": scene, "due": due, "bytes": len(packed), "files": group})
    json.dump(table, sys.stdout, separators=(",", ":"))


main()
