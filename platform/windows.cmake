# The platform on Windows, one target a part as on Linux: the interfaces, the
# picture reading (the same decoders, opening files through Win32), and the
# Win32 + WGL backend and GDI+ drawing behind them.
add_library(zindle_platform_api INTERFACE)
target_include_directories(zindle_platform_api INTERFACE ${PROJECT_SOURCE_DIR})

add_library(zindle_picture STATIC
  picture/DecodeBmp.cpp picture/DecodeGif.cpp picture/DecodeJpeg.cpp picture/DecodePng.cpp
  picture/PictureCanvas.cpp picture/PictureFileReads.cpp picture/PictureFileWin32.cpp
  picture/PictureReader.cpp)
target_link_libraries(zindle_picture PUBLIC zindle_platform_api PRIVATE zindle_libjpeg zindle_libpng)

add_subdirectory(gdiplus)
add_subdirectory(win32)

# What a program on this platform links: the backend, its drawing and the
# picture reading.
add_library(zindle_platform INTERFACE)
target_link_libraries(zindle_platform INTERFACE zindle_win32 zindle_gdiplus zindle_picture)
