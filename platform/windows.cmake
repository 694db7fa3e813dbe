# The platform on Windows, one target a part as on Linux: the interfaces, the
# picture reading (the same decoders, opening files through Win32), and the
# Win32 + WGL backend and GDI+ drawing behind them where they are present.
add_library(zindle_platform_api INTERFACE)
target_include_directories(zindle_platform_api INTERFACE ${PROJECT_SOURCE_DIR})

add_library(zindle_picture STATIC
  picture/DecodeBmp.cpp picture/DecodeGif.cpp picture/DecodeJpeg.cpp picture/DecodePng.cpp
  picture/PictureCanvas.cpp picture/PictureFileReads.cpp picture/PictureFileWin32.cpp
  picture/PictureReader.cpp)
target_link_libraries(zindle_picture PUBLIC zindle_platform_api PRIVATE zindle_libjpeg zindle_libpng)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/gdiplus/CMakeLists.txt)
  add_subdirectory(gdiplus)
endif()
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/win32/CMakeLists.txt)
  add_subdirectory(win32)
endif()

# What a program on this platform links: whichever of the backend and its
# drawing exist, and the picture reading.
add_library(zindle_platform INTERFACE)
foreach(part zindle_win32 zindle_gdiplus)
  if(TARGET ${part})
    target_link_libraries(zindle_platform INTERFACE ${part})
  endif()
endforeach()
target_link_libraries(zindle_platform INTERFACE zindle_picture)
