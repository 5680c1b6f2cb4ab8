#!/usr/bin/env python3
"""Writes the small seed inputs of the fuzz targets into tests/fuzz/corpus/.
Every seed is built here byte by byte; none is taken from the game's art."""
import os
import struct
import zlib

here = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# BMP: two leading bytes choose the scaled size (width-1, height-1 modulo 96).
def bmp(width, height, bpp, rows, info=40, compression=0, masks=b"", palette=b"", top_down=False):
    stride = ((width * bpp + 31) // 32) * 4
    pixels = b"".join(r.ljust(stride, b"\0") for r in rows)
    colors = len(palette) // 4
    header_extra = masks if info == 40 else b""
    offset = 14 + info + len(header_extra) + len(palette)
    h = -height if top_down else height
    ih = struct.pack("<IiiHHIIiiII", info, width, h, 1, bpp, compression, len(pixels), 2835, 2835, colors, 0)
    if info > 40:
        ih += masks.ljust(info - 40, b"\0")
    fh = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return fh + ih + header_extra + palette + pixels


magenta = b"\xff\x00\xff"
put("fuzz_bmp", "rgb24_3x2", bytes([5, 3]) + bmp(3, 2, 24, [magenta + b"\x00\x80\xff" + b"\x10\x20\x30"] * 2))
put("fuzz_bmp", "rgb24_topdown", bytes([0, 0]) + bmp(2, 2, 24, [magenta * 2, b"\x00" * 6], top_down=True))
put("fuzz_bmp", "rgb32_plain", bytes([1, 1]) + bmp(2, 2, 32, [b"\x01\x02\x03\x04" * 2] * 2))
put("fuzz_bmp", "bitfields565", bytes([7, 7]) + bmp(2, 2, 32, [b"\x1f\x00\x00\x00\xe0\x07\x00\x00"] * 2,
                                                     compression=3, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
put("fuzz_bmp", "v5_alphafields", bytes([3, 2]) + bmp(2, 1, 32, [b"\x10\x20\x30\x40" * 2], info=124, compression=6,
                                                      masks=struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000)))
pal = b"".join(bytes([b, g, r, 0]) for r, g, b in [(255, 0, 255), (0, 0, 0), (255, 255, 255), (20, 200, 40)])
put("fuzz_bmp", "pal8", bytes([9, 4]) + bmp(4, 3, 8, [bytes([0, 1, 2, 3])] * 3, palette=pal))
put("fuzz_bmp", "pal4_oob_index", bytes([2, 2]) + bmp(3, 2, 4, [b"\x01\x2f"] * 2, palette=pal))
put("fuzz_bmp", "pal1", bytes([15, 1]) + bmp(9, 2, 1, [b"\xa5\x80"] * 2, palette=pal[:8]))


# PNG
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(width, height, depth, color, rows, extra=b"", interlace=0):
    raw = b"".join(b"\0" + r for r in rows)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, color, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


put("fuzz_png", "rgb_2x2", png(2, 2, 8, 2, [magenta + b"\x00\x80\xff"] * 2))
put("fuzz_png", "rgba_3x1", png(3, 1, 8, 6, [b"\xff\x00\x00\xff\x00\xff\x00\x80\x00\x00\xff\x00"]))
put("fuzz_png", "gray_4x2", png(4, 2, 8, 0, [b"\x00\x55\xaa\xff"] * 2))
put("fuzz_png", "palette_trns", png(2, 2, 8, 3, [b"\x00\x01"] * 2,
                                    extra=chunk(b"PLTE", b"\xff\x00\xff\x00\x00\x00") + chunk(b"tRNS", b"\x00")))
put("fuzz_png", "rgb16_interlaced", png(3, 3, 16, 2, [b"\x12\x34" * 9] * 3, interlace=1))
put("fuzz_png", "gray_alpha_1x1", png(1, 1, 8, 4, [b"\x80\x40"]))
# A header claiming the largest side allowed over a few rows of data: the
# loader must refuse it before the decoder allocates the whole picture.
put("fuzz_png", "huge_header", png(16384, 16384, 8, 6, [b"\0" * 16384 * 4] * 4))


# "ranker.list": the first byte's low bit says whether the file exists.
def record(letters, score):
    letters = list(letters) + [99] * (10 - len(letters))
    return struct.pack("<10ii", *letters, score)


empty = record([], 0)
sorted_list = record([18, 0, 12], 5000) + record([0, 1, 2], 1234) + record([49], 10) + empty * 7
put("fuzz_ranker_list", "sorted", b"\x01" + sorted_list)
put("fuzz_ranker_list", "unsorted_negative", b"\x01" + empty * 5 + record([7] * 10, -3) + record([1], 900) + empty * 3)
put("fuzz_ranker_list", "short", b"\x01" + sorted_list[:70])
put("fuzz_ranker_list", "foreign_letters", b"\x01" + record([-1, 50, 1000, 2**31 - 1], 2**31 - 1) + empty * 9 + b"tail")
put("fuzz_ranker_list", "missing", b"\x00")

# "new.score"
put("fuzz_new_score", "full", b"\x01" + struct.pack("<i", 1234))
put("fuzz_new_score", "negative_long", b"\x01" + struct.pack("<i", -5) + b"extra")
put("fuzz_new_score", "short", b"\x01\xd2\x04")
put("fuzz_new_score", "missing", b"\x00")

# "option": presence, the two switches before loading, then the file.
put("fuzz_option", "both_on", b"\x01\x00\x00\x01\x01")
put("fuzz_option", "effects_only", b"\x01\x01\x01\x01\x00")
put("fuzz_option", "one_byte", b"\x01\x00\x01\x07")
put("fuzz_option", "long", b"\x01\x00\x00\x00\x02\x03\x04")
put("fuzz_option", "missing", b"\x00\x01\x00")

# Text: face, height, x, y, flags, colour; then the text.
put("fuzz_text", "score_label", bytes([0, 29, 10, 5, 0, 7]) + b"Your Score :  ")
put("fuzz_text", "rank_row_right", bytes([1, 29, 120, 3, 1, 9]) + b"< 1 >   1234")
put("fuzz_text", "ready", bytes([4, 60, 0, 0, 0, 1]) + b"READY?")
put("fuzz_text", "hangul", bytes([2, 20, 0xF0, 0xFE, 0, 3]) + "점수 한글".encode())
put("fuzz_text", "bad_utf8_nul", bytes([3, 12, 0x80, 0x7F, 0xC0, 2]) + b"\xff\xfe\xc3(a\x00b\xe2\x82")
put("fuzz_text", "fps", bytes([3, 15, 2, 2, 0, 0]) + b"FPS: 60")

# Sound files: MPEG-1 layer III frames at 128 kbit/s, 44.1 kHz, joint stereo,
# 417 bytes each, whose zeroed side information decodes to silence; with and
# without an ID3v2 tag in front, and cut inside a frame. WAV: 16-bit mono and
# 8-bit stereo PCM.
mp3_frame = b"\xff\xfb\x90\x44" + bytes(413)
id3 = b"ID3\x04\x00\x00\x00\x00\x00\x0a" + bytes(10)
put("fuzz_sound", "mp3_frames", mp3_frame * 3)
put("fuzz_sound", "mp3_id3", id3 + mp3_frame * 2)
put("fuzz_sound", "mp3_cut", mp3_frame * 2 + mp3_frame[:100])


def wav(channels, bits, rate, data):
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


put("fuzz_sound", "wav_mono16", wav(1, 16, 22050, b"".join(struct.pack("<h", (i * 997) % 30000 - 15000) for i in range(64))))
put("fuzz_sound", "wav_stereo8", wav(2, 8, 44100, bytes((i * 37) % 256 for i in range(128))))
# Lengths that lie: a data chunk claiming 2 GB more than the file holds, and
# one holding less than a single frame.
claims = bytearray(wav(2, 16, 44100, bytes(64)))
claims[40:44] = struct.pack("<I", 0x8A650080)
put("fuzz_sound", "wav_claims_more", bytes(claims))
put("fuzz_sound", "wav_half_frame", wav(2, 16, 44100, bytes(2)))
