#!/usr/bin/env python3
"""Packs the page's data into gzip-compressed packages, one per moment of the
game, in the order the game first needs them, and prints their table as JSON.

    pack.py DATA_FOLDER SITE_FOLDER

A package is its files' bytes one after the other, compressed whole; the
table names each file and its size, so the page cuts them apart as the bytes
arrive. Static hosts send files as they are, so the compression is ours.

The first package is what the first frame needs: the intro's pictures, the
panel's and the cursor's, the fonts and the first tune. Each package says
which scene first opens its files ("scene") and, for a file a scene plays
only after a while, how many seconds into that scene it must be there
("due"); the page holds the game still, showing progress, when it would
otherwise reach a file that has not arrived.
"""
import fnmatch
import gzip
import json
import os
import sys

# (name, scene, due seconds, file patterns). A file goes to the first package
# whose pattern it matches; files that match none go to the last package.
PACKAGES = [
    ("start", "intro", 0, ["img/main*.bmp", "img/light.bmp", "img/play.bmp", "img/skip.png",
                           "img/point*.bmp", "img/option*.bmp", "img/bgm*.bmp", "img/effect*.bmp",
                           "fonts/*", "soundfile/intro1.mp3"]),
    # The second tune follows the first, which lasts about ten seconds.
    ("intro", "intro", 6, ["soundfile/intro2.mp3"]),
    ("game", "game", 0, ["img/bg.bmp", "img/white.bmp", "img/block*.bmp", "img/target.png",
                         "img/special.png", "img/refresh.bmp", "img/watch.bmp", "img/strings.bmp",
                         "img/bgBack.bmp", "img/bgFront.bmp", "img/marlo.bmp", "img/dust.bmp",
                         "img/string_*.bmp", "img/speed*.bmp", "img/niddle.bmp", "img/talkbox*.bmp",
                         "img/daruma.bmp", "img/drum.bmp", "img/pot.bmp", "img/dynamite.bmp",
                         "img/bat.bmp", "img/manhole.bmp", "soundfile/combo*.mp3",
                         "soundfile/delete.mp3", "soundfile/jump.wav", "soundfile/playbgm.mp3"]),
    ("rank", "rank", 0, ["*"]),
]

# The icon is the page's own (index.html, the manifest): not packed.
LEFT_OUT = {"img/icon.png"}


def main():
    data, site = sys.argv[1], sys.argv[2]
    files = []
    for folder, _, names in os.walk(data):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), data)
            if rel not in LEFT_OUT:
                files.append(rel)
    groups = [[] for _ in PACKAGES]
    for rel in sorted(files):
        index = next(i for i, p in enumerate(PACKAGES) if any(fnmatch.fnmatchcase(rel, g) for g in p[3]))
        groups[index].append(rel)
    # Within a package, files in the order of the patterns: the scene's own order.
    table = []
    for (name, scene, due, patterns), group in zip(PACKAGES, groups):
        order = lambda rel: next(i for i, g in enumerate(patterns) if fnmatch.fnmatchcase(rel, g))
        group.sort(key=lambda rel: (order(rel), rel))
        blob = b"".join(open(os.path.join(data, rel), "rb").read() for rel in group)
        out = f"{name}.pack"
        # mtime 0: the same data gives the same package, so a build's version
        # changes only when its content does.
        packed = gzip.compress(blob, compresslevel=9, mtime=0)
        with open(os.path.join(site, out), "wb") as f:
            f.write(packed)
        table.append({"name": name, "url": out, "scene": scene, "due": due, "bytes": len(packed),
                      "files": [[rel, os.path.getsize(os.path.join(data, rel))] for rel in group]})
    json.dump(table, sys.stdout, separators=(",", ":"))


main()
