# The picture reader's sources, for the product's build and for the fuzz
# build (fuzz/), which compiles them again with its own instrumentation.
# Sets zindle_picture_sources to absolute paths; files are opened through
# Win32 on Windows and through POSIX everywhere else.
set(zindle_picture_sources DecodeBmp.cpp DecodeGif.cpp DecodeJpeg.cpp DecodePng.cpp PictureCanvas.cpp
  PictureFileReads.cpp PictureReader.cpp)
if(WIN32)
  list(APPEND zindle_picture_sources PictureFileWin32.cpp)
else()
  list(APPEND zindle_picture_sources PictureFile.cpp)
endif()
list(TRANSFORM zindle_picture_sources PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
