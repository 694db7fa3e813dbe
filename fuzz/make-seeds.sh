#!/usr/bin/env bash
# Writes the fuzzers' seed corpus into fuzz/corpus/: small files of each format
# in each of its layouts, written by the tests' picture writer (make_picture,
# from the test build) or, for the BMP layouts it does not write, by hand; and
# broken ones: cut short, headers of the wrong size, sizes the data does not
# hold. picture/ holds whole files; each decoder's folder holds its format's
# files behind two bytes that choose the area to cover (decoder_fuzzer.cpp).
#
# Usage: fuzz/make-seeds.sh [MAKE_PICTURE]   (defaults to build/tests/make_picture)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
make_picture=${1:-$top/build/tests/make_picture}
[ -x "$make_picture" ] || { echo "make-seeds: build make_picture first (bash scripts/build.sh)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$make_picture" jpeg 48 32 "$work/baseline.jpg" photo
"$make_picture" jpeg 40 24 "$work/progressive.jpg" photo interlaced
"$make_picture" jpeg 64 48 "$work/halves.jpg" halves
"$make_picture" jpeg 12000 9000 "$work/claim.jpg" claim
"$make_picture" png 37 23 "$work/plain.png" photo
"$make_picture" png 37 23 "$work/interlaced.png" photo interlaced
"$make_picture" png 29 17 "$work/alpha.png" photo alpha
"$make_picture" png 33 21 "$work/interlaced-alpha.png" photo interlaced alpha
"$make_picture" png 12000 9000 "$work/claim.png" claim
"$make_picture" gif 37 23 "$work/plain.gif" photo
"$make_picture" gif 41 27 "$work/interlaced.gif" photo interlaced
"$make_picture" gif 24 20 "$work/alpha.gif" halves alpha
"$make_picture" gif 12000 9000 "$work/claim.gif" claim
"$make_picture" bmp 37 23 "$work/bits24.bmp" photo
"$make_picture" bmp 12000 8000 "$work/claim.bmp" claim

# The BMP layouts by hand, and every kind of file damaged.
python3 - "$work" <<'PYTHON'
import os, struct, sys, zlib

work = sys.argv[1]

def save(name, data):
    with open(os.path.join(work, name), "wb") as f:
        f.write(data)

def load(name):
    with open(os.path.join(work, name), "rb") as f:
        return f.read()

def colour(x, y):
    return (x * 7 + y * 3) & 0xff, (x * 2 + y * 11) & 0xff, (x * 13 ^ y * 5) & 0xff

def bmp(width, height, bits, rows, palette=b"", header=40, compression=0, masks=b"", top_down=False, extra=b""):
    """rows: the pixel data as stored, already padded."""
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits, compression,
                           len(rows), 2835, 2835, len(palette) // 4 if bits <= 8 else 0, 0)
        info = (info + masks if header > 40 else info).ljust(header, b"\0")
        if header == 40:
            info += masks
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows) + len(extra), 0, 0, offset) + info + palette + rows + extra

def pad(row):
    return row + b"\0" * (-len(row) % 4)

def indexed(width, height, bits):
    rows = b""
    for y in range(height):
        value, filled, row = 0, 0, bytearray()
        for x in range(width):
            value = value << bits | (x + y) % (1 << bits)
            filled += bits
            if filled == 8:
                row.append(value), setattr(sys, "_", None)
                value = filled = 0
        if filled:
            row.append(value << (8 - filled))
        rows += pad(bytes(row))
    palette = b"".join(bytes((i * 37 & 0xff, i * 91 & 0xff, i * 53 & 0xff, 0)) for i in range(1 << bits))
    return rows, palette

for bits in (1, 4, 8):
    rows, palette = indexed(29, 13, bits)
    save("bits%d.bmp" % bits, bmp(29, 13, bits, rows, palette))
rows, palette = indexed(21, 9, 8)
save("os2.bmp", bmp(21, 9, 8, rows, b"".join(palette[i:i + 3] for i in range(0, len(palette), 4)), header=12))
save("short-palette.bmp", bmp(21, 9, 4, indexed(21, 9, 4)[0], indexed(21, 9, 4)[1][:16]))

def rgb16(width, height, red, green, blue, shift):
    rows = b""
    for y in range(height):
        row = b""
        for x in range(width):
            r, g, b = colour(x, y)
            row += struct.pack("<H", (r >> (8 - red)) << shift[0] | (g >> (8 - green)) << shift[1] | b >> (8 - blue))
        rows += pad(row)
    return rows

save("bits16.bmp", bmp(23, 11, 16, rgb16(23, 11, 5, 5, 5, (10, 5))))
save("bits16-565.bmp", bmp(23, 11, 16, rgb16(23, 11, 5, 6, 5, (11, 5)), compression=3,
                            masks=struct.pack("<III", 0xf800, 0x07e0, 0x001f)))

def rgb32(width, height, alpha):
    rows = b""
    for y in range(height):
        for x in range(width):
            r, g, b = colour(x, y)
            rows += bytes((b, g, r, (x * 17 + y * 29) & 0xff if alpha else 0))
    return rows

save("bits32.bmp", bmp(19, 13, 32, rgb32(19, 13, False)))
save("bits32-v5-alpha.bmp", bmp(19, 13, 32, rgb32(19, 13, True), header=124, compression=3,
                                masks=struct.pack("<IIII", 0xff0000, 0xff00, 0xff, 0xff000000), top_down=True))
save("bits32-alphabitfields.bmp", bmp(17, 9, 32, rgb32(17, 9, True), compression=6,
                                      masks=struct.pack("<IIII", 0xff0000, 0xff00, 0xff, 0xff000000)))
rows24 = b"".join(pad(b"".join(bytes(colour(x, y)[::-1]) for x in range(21))) for y in range(15))
save("bits24-topdown.bmp", bmp(21, 15, 24, rows24, top_down=True))

# Run-length: runs, literals (odd lengths padded), a jump, rows ended early.
palette16 = b"".join(bytes((i * 16, 255 - i * 16, i * 8, 0)) for i in range(16))
palette256 = b"".join(bytes((i, 255 - i, i // 2, 0)) for i in range(256))
rle8 = b""
for y in range(12):
    rle8 += bytes((5, y, 0, 3, 1, 2, 3, 0, 0, 4, 9 + y, 0, 2, 2, 0)) + (bytes((3, 7)) if y % 3 else b"") + b"\0\0"
save("rle8.bmp", bmp(24, 13, 8, rle8 + b"\0\x01", palette256, compression=1))
rle4 = b""
for y in range(10):
    rle4 += bytes((7, 0x12 + y, 0, 5, 0x34, 0x56, 0x70, 0, 0, 2, 3, 1, 6, 0xab)) + b"\0\0"
save("rle4.bmp", bmp(20, 11, 4, rle4 + b"\0\x01", palette16, compression=2))
save("rle8-jump-past-top.bmp", bmp(24, 4, 8, bytes((2, 5, 0, 2, 3, 40)) + b"\0\x02\x01\x09" + b"\x03\x01", palette256,
                                   compression=1))

# Damaged: cut short, wrong header sizes, claims the data cannot hold.
for name in sorted(os.listdir(work)):
    data = load(name)
    if "claim" in name or len(data) < 64:
        continue
    stem, dot, ext = name.rpartition(".")
    if stem in ("baseline", "plain", "bits24", "rle8", "progressive", "interlaced", "bits4"):
        save("cut-header-%s.%s" % (stem, ext), data[:min(len(data) // 8, 40)])
        save("cut-half-%s.%s" % (stem, ext), data[:len(data) // 2])
bits24 = load("bits24.bmp")
for size in (13, 39, 41, 125, 0xffffffff):
    save("header-%x.bmp" % size, bits24[:14] + struct.pack("<I", size) + bits24[18:])
save("pixels-past-end.bmp", bits24[:10] + struct.pack("<I", len(bits24) - 4) + bits24[14:])
save("huge-colours-used.bmp", load("bits8.bmp")[:46] + struct.pack("<I", 0x7fffffff) + load("bits8.bmp")[50:])
png = load("plain.png")
save("ihdr-length-14.png", png[:8] + struct.pack(">I", 14) + png[12:])
ihdr = png[12:29]
wide = ihdr[:4] + struct.pack(">II", 37 * 4, 23) + ihdr[12:]
save("ihdr-wider-than-data.png", png[:12] + wide + struct.pack(">I", zlib.crc32(wide)) + png[33:])
gif = load("plain.gif")
frame = gif.index(b",", 13)
save("gif-frame-past-screen.gif", gif[:frame + 1] + struct.pack("<HHHH", 30, 20, 37, 23) + gif[frame + 9:])
save("gif-empty-screen.gif", gif[:6] + b"\0\0\0\0" + gif[10:])
save("gif-no-palette.gif", gif[:10] + bytes((gif[10] & 0x7f,)) + gif[11:13] + gif[13 + 3 * (2 << (gif[10] & 7)):])
save("gif-min-code-size-12.gif", gif[:frame + 10] + b"\x0c" + gif[frame + 11:])
jpeg = load("baseline.jpg")
sof = jpeg.index(b"\xff\xc0")
save("jpeg-sof-length-wrong.jpg", jpeg[:sof + 2] + b"\x00\x05" + jpeg[sof + 4:])
save("jpeg-no-eoi.jpg", jpeg[:-2])
PYTHON

rm -rf "$top/fuzz/corpus"
mkdir -p "$top/fuzz/corpus/picture" "$top/fuzz/corpus/gif" "$top/fuzz/corpus/bmp" "$top/fuzz/corpus/jpeg" \
  "$top/fuzz/corpus/png"
# Areas to cover, as the two bytes before a decoder's file: whole, halved and
# more, thin, and a single pixel.
covers=('\xff\xff' '\x0f\x0f' '\x1f\x0b' '\x07\x3f' '\x00\x00' '\x40\x02' '\x12\x09')
n=0
for file in "$work"/*; do
  name=$(basename "$file")
  cp "$file" "$top/fuzz/corpus/picture/$name"
  case "$name" in
    *.jpg) format=jpeg ;;
    *) format=${name##*.} ;;
  esac
  { printf "${covers[n % ${#covers[@]}]}"; cat "$file"; } >"$top/fuzz/corpus/$format/$name"
  n=$((n + 1))
done
du -sh "$top"/fuzz/corpus/*
