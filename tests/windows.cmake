# The unit suites of the Windows build, cross-built and run under Wine (the
# toolchain file's emulator; scripts/test-windows.sh sets up the prefix and
# keeps one wineserver for the whole run). Only suites that need no backend:
# the ones that draw need a GL context and the Linux drawing library.

# GoogleTest from Debian's sources, built with the same tool chain. Its own
# code is not held to the project's warnings.
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -w)
endforeach()

# The scripted platform; the GL fixtures need a real context and stay out.
add_library(zindle_test_support STATIC support/fixtures/ScriptedPlatform.cpp)
target_include_directories(zindle_test_support PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zindle_test_support PUBLIC zindle_app zindle_platform gtest)

# windows_suite(NAME SOURCES... LIBRARIES ...): one test program, its tests
# listed through Wine when ctest runs (listing at build time would need Wine
# for every build).
function(windows_suite name)
  cmake_parse_arguments(PARSE_ARGV 1 suite "" "" "SOURCES;LIBRARIES")
  add_executable(${name}_tests ${suite_SOURCES})
  target_link_libraries(${name}_tests PRIVATE ${suite_LIBRARIES} zindle_test_support gtest_main)
  gtest_discover_tests(${name}_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "ZINDLE_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZINDLE_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

include(GoogleTest)
file(GLOB util_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/util/*_test.cpp)
file(GLOB motion_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/motion/*_test.cpp)
file(GLOB app_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*_test.cpp)
windows_suite(util SOURCES ${util_sources} LIBRARIES zindle_util)
windows_suite(motion SOURCES ${motion_sources} LIBRARIES zindle_motion zindle_scene)
windows_suite(app SOURCES ${app_sources} LIBRARIES zindle_app)
# The game's fixed steps; its other suites (the in-between frames included)
# draw the scene on a GL context of the Linux test support.
windows_suite(game SOURCES game/fixedstep_test.cpp LIBRARIES zindle_game)
# The mix, rendered without a device.
file(GLOB sound_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/sound/*_test.cpp)
windows_suite(sound SOURCES ${sound_sources} LIBRARIES zindle_sound)
# Picture files read; the decoding through the drawing's bitmaps is the
# Linux suite's alone.
windows_suite(picture SOURCES platform/picture/picture_file_test.cpp LIBRARIES zindle_picture zindle_picture_writer)

# The Win32 backend's own suite and the helper programs of the whole-program
# tests; the GDI+ drawing's suite.
if(TARGET zindle_win32)
  add_subdirectory(platform/win32)
  add_subdirectory(windows_toy)
endif()
if(TARGET zindle_gdiplus)
  add_subdirectory(platform/gdiplus)
endif()

# What every platform and drawing library promises, on Win32 and GDI+
# (tests/contract).
if(TARGET zindle_win32 AND TARGET zindle_gdiplus)
  add_subdirectory(contract)
endif()

# The picture files of the whole-program tests, written by the same writer as
# on Linux.
add_executable(make_picture support/programs/make_picture.cpp)
target_link_libraries(make_picture PRIVATE zindle_picture_writer)
set_target_properties(make_picture PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)

# Whole-program tests: scripts that run zindle.exe under Wine on X servers of
# their own (the Wine set-up comes from scripts/test-windows.sh); 77 skips.
file(GLOB windows_toy_scripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/windows_toy/*_test.sh)
if(TARGET zindle)
  foreach(script ${windows_toy_scripts})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME windows_toy.${name} COMMAND bash ${script} $<TARGET_FILE:zindle>)
    set_tests_properties(windows_toy.${name} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE SKIP_RETURN_CODE 77
      ENVIRONMENT "ZINDLE_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZINDLE_BINARY_DIR=${PROJECT_BINARY_DIR}")
  endforeach()
endif()
