# shellcheck shell=bash
# The hostile splash files every build of the toy is given, made here: things
# that are not files, headers that claim gigapixels, formats the toy does not
# read, a JPEG cut short, a folder, and a photo over the toy's limit. Shared by
# the Linux and the Windows tests; sourced, not run.
#
# play_splash_files NEW_FOLDER MAKE PLAY OWN_PICTURE
#   NEW_FOLDER NAME        prints a new folder for one case
#   MAKE FOLDER FORMAT WIDTH HEIGHT [claim]
#                          writes FOLDER/wumbly.jpg with the project's picture
#                          writer (a header alone with "claim")
#   PLAY FOLDER WHAT       starts the toy in FOLDER and holds it to the checks
play_splash_files() {
  local new_folder=$1 make=$2 play=$3 own=$4 folder claim format width height

  folder=$("$new_folder" fifo)
  mkfifo "$folder/wumbly.jpg"
  "$play" "$folder" "a FIFO nobody writes to"

  folder=$("$new_folder" urandom)
  ln -s /dev/urandom "$folder/wumbly.jpg"
  "$play" "$folder" "a link to /dev/urandom"

  folder=$("$new_folder" zero)
  ln -s /dev/zero "$folder/wumbly.jpg"
  "$play" "$folder" "a link to /dev/zero"

  folder=$("$new_folder" sparse)
  printf '\377\330\377' >"$folder/wumbly.jpg"
  truncate -s 3G "$folder/wumbly.jpg"
  "$play" "$folder" "a sparse 3 GB file that starts like a JPEG"

  # 2^31 rows read as a negative height in a BMP's signed field.
  for claim in "png 30000 30000" "png 65535 65535" "jpeg 60000 60000" "gif 65535 65535" "bmp 1 2147483647" \
    "bmp 1 2147483648"; do
    read -r format width height <<<"$claim"
    folder=$("$new_folder" "claim-$format-$width-$height")
    "$make" "$folder" "$format" "$width" "$height" claim
    "$play" "$folder" "a $(stat -c %s "$folder/wumbly.jpg")-byte $format whose header says ${width}x$height"
  done

  folder=$("$new_folder" svg)
  printf '<svg xmlns="http://www.w3.org/2000/svg" width="30000" height="30000"><rect width="30000" height="30000"/></svg>\n' \
    >"$folder/wumbly.jpg"
  "$play" "$folder" "a $(stat -c %s "$folder/wumbly.jpg")-byte SVG declaring 30000x30000"

  folder=$("$new_folder" ppm)
  printf 'P6\n60000 60000\n255\n' >"$folder/wumbly.jpg"
  head -c 4096 /dev/zero >>"$folder/wumbly.jpg"
  "$play" "$folder" "a PPM header of 60000x60000"

  # Little-endian TIFF: one directory with ImageWidth and ImageLength 60000.
  folder=$("$new_folder" tiff)
  printf 'II*\000\010\000\000\000\002\000\000\001\004\000\001\000\000\000\140\352\000\000\001\001\004\000\001\000\000\000\140\352\000\000\000\000\000\000' \
    >"$folder/wumbly.jpg"
  "$play" "$folder" "a TIFF header of 60000x60000"

  folder=$("$new_folder" cut)
  head -c "$(($(stat -c %s "$own") / 2))" "$own" >"$folder/wumbly.jpg"
  "$play" "$folder" "a JPEG cut in half"

  folder=$("$new_folder" folder)
  mkdir "$folder/wumbly.jpg"
  "$play" "$folder" "a folder named wumbly.jpg"

  # Over 100 megapixels: refused on its header, before any pixel is made.
  folder=$("$new_folder" huge)
  "$make" "$folder" jpeg 12000 12000
  "$play" "$folder" "a 12000x12000 JPEG photo"
}
