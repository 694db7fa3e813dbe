# Writes a Windows icon file (.ico) from a plain description, as a string of
# octal escapes for bash's printf to turn into bytes: awk alone cannot write a
# zero byte the same way in every awk, and the build must not need more than
# awk and bash to make the toy's icons.
#
# The description is whitespace-separated words:
#   image WIDTH HEIGHT BITS   starts an image of 4, 8 or 32 bits per pixel
#   palette N COLOUR...       the colour table of a 4- or 8-bit image, in this
#                             order; without it the table holds the pixels'
#                             colours in the order they first appear
#   pixels COLOUR...          WIDTH x HEIGHT colours, rows from the top
# Colours are AARRGGBB in hexadecimal. A pixel whose alpha is below 128 is
# see-through in the image's mask; in a 4- or 8-bit image it is painted black
# (colour 00000000), so that it leaves the screen as it was.
#
# Each image is stored as Windows stores icons: a BITMAPINFOHEADER of twice the
# height, the colour table, the colour rows and the mask rows, rows from the
# bottom, each row padded to four bytes.

function hex(text,    value, i) {
  value = 0
  text = toupper(text)
  for (i = 1; i <= length(text); i++)
    value = value * 16 + index("0123456789ABCDEF", substr(text, i, 1)) - 1
  return value
}
function fail(message) {
  print "ico.awk: " message > "/dev/stderr"
  failed = 1
  exit 1
}
function byte(value) { out = out sprintf("\\%03o", value % 256) }
function word(value) { byte(value); byte(int(value / 256)) }
function dword(value) { word(value % 65536); word(int(value / 65536)) }
function alpha(colour) { return int(hex(colour) / 16777216) }
function opaque(colour) { return alpha(colour) >= 128 }
function rowBytes(bits, width) { return int((width * bits + 31) / 32) * 4 }

{
  for (i = 1; i <= NF; i++) words[++count] = $i
}

END {
  if (failed) exit 1
  images = 0
  for (at = 1; at <= count;) {
    if (words[at] == "image") {
      n = ++images
      width[n] = words[at + 1] + 0; height[n] = words[at + 2] + 0; bits[n] = words[at + 3] + 0
      if (bits[n] != 4 && bits[n] != 8 && bits[n] != 32) fail("image " n ": " bits[n] " bits per pixel")
      if (width[n] < 1 || width[n] > 256 || height[n] < 1 || height[n] > 256) fail("image " n ": size")
      colours[n] = 0
      at += 4
    } else if (words[at] == "palette") {
      if (!images) fail("a palette before any image")
      colours[n] = words[at + 1] + 0
      for (c = 0; c < colours[n]; c++) palette[n, c] = toupper(words[at + 2 + c])
      at += 2 + colours[n]
    } else if (words[at] == "pixels") {
      if (!images) fail("pixels before any image")
      for (p = 0; p < width[n] * height[n]; p++) {
        if (at + 1 + p > count) fail("image " n ": too few pixels")
        pixel[n, p] = toupper(words[at + 1 + p])
      }
      at += 1 + width[n] * height[n]
    } else {
      fail("unknown word " words[at])
    }
  }
  if (!images) fail("no image")

  # Colour tables and the index of each pixel in it.
  for (n = 1; n <= images; n++) {
    if (bits[n] == 32) continue
    for (c = 0; c < colours[n]; c++) slot[n, palette[n, c]] = c
    for (p = 0; p < width[n] * height[n]; p++) {
      colour = opaque(pixel[n, p]) ? pixel[n, p] : "00000000"
      if (!((n, colour) in slot)) {
        if (colours[n] == 2 ^ bits[n]) fail("image " n ": more than " 2 ^ bits[n] " colours")
        palette[n, colours[n]] = colour
        slot[n, colour] = colours[n]++
      }
      index_of[n, p] = slot[n, colour]
    }
  }

  # The directory: a header, then one entry per image.
  offset = 6 + 16 * images
  for (n = 1; n <= images; n++) {
    size[n] = 40 + (bits[n] == 32 ? 0 : 4 * 2 ^ bits[n]) \
      + (rowBytes(bits[n], width[n]) + rowBytes(1, width[n])) * height[n]
  }
  out = ""
  word(0); word(1); word(images)
  for (n = 1; n <= images; n++) {
    byte(width[n] == 256 ? 0 : width[n]); byte(height[n] == 256 ? 0 : height[n])
    byte(bits[n] < 8 ? 2 ^ bits[n] : 0); byte(0)
    word(1); word(bits[n]); dword(size[n]); dword(offset)
    offset += size[n]
  }

  for (n = 1; n <= images; n++) {
    w = width[n]; h = height[n]
    dword(40); dword(w); dword(2 * h); word(1); word(bits[n]); dword(0)
    dword((rowBytes(bits[n], w) + rowBytes(1, w)) * h); dword(0); dword(0); dword(0); dword(0)
    if (bits[n] != 32) {
      for (c = 0; c < 2 ^ bits[n]; c++) {
        value = c < colours[n] ? hex(palette[n, c]) : 0
        byte(value % 256); byte(int(value / 256) % 256); byte(int(value / 65536) % 256); byte(0)
      }
    }
    for (y = h - 1; y >= 0; y--) {
      written = 0
      if (bits[n] == 32) {
        for (x = 0; x < w; x++) {
          value = hex(pixel[n, y * w + x])
          byte(value % 256); byte(int(value / 256) % 256); byte(int(value / 65536) % 256)
          byte(int(value / 16777216))
          written += 4
        }
      } else {
        per = 8 / bits[n]
        for (x = 0; x < w; x += per) {
          value = 0
          for (k = 0; k < per; k++)
            value = value * 2 ^ bits[n] + (x + k < w ? index_of[n, y * w + x + k] : 0)
          byte(value)
          written++
        }
      }
      for (; written < rowBytes(bits[n], w); written++) byte(0)
    }
    for (y = h - 1; y >= 0; y--) {
      written = 0
      for (x = 0; x < w; x += 8) {
        value = 0
        for (k = 0; k < 8; k++)
          value = value * 2 + (x + k < w && !opaque(pixel[n, y * w + x + k]) ? 1 : 0)
        byte(value)
        written++
      }
      for (; written < rowBytes(1, w); written++) byte(0)
    }
  }
  printf "%s", out
}
