# zindle.exe's resources (icons, version information, manifest) as the object
# library zindle_resources, which the program links:
#   target_link_libraries(zindle PRIVATE zindle_resources)
# The version comes from the project's own; the window icon (resource 102) is
# written from WindowIcon.h at build time with bash and awk, so the header stays
# its one picture. Include it from a project with a Windows tool chain.
set(zindle_res ${CMAKE_CURRENT_LIST_DIR})
set(zindle_res_out ${CMAKE_CURRENT_BINARY_DIR}/zindle_resources)

set(ZINDLE_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(ZINDLE_VERSION_MINOR 0)
set(ZINDLE_VERSION_PATCH 0)
if(NOT "${PROJECT_VERSION_MINOR}" STREQUAL "")
  set(ZINDLE_VERSION_MINOR ${PROJECT_VERSION_MINOR})
endif()
if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
  set(ZINDLE_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()
set(ZINDLE_VERSION_FOUR ${ZINDLE_VERSION_MAJOR}.${ZINDLE_VERSION_MINOR}.${ZINDLE_VERSION_PATCH}.0)
file(CONFIGURE OUTPUT ${zindle_res_out}/ZindleVersion.h @ONLY CONTENT [[
#define ZINDLE_VERSION_MAJOR @ZINDLE_VERSION_MAJOR@
#define ZINDLE_VERSION_MINOR @ZINDLE_VERSION_MINOR@
#define ZINDLE_VERSION_PATCH @ZINDLE_VERSION_PATCH@
#define ZINDLE_VERSION_STRING "@PROJECT_VERSION@"
]])
configure_file(${zindle_res}/zindle.exe.manifest.in ${zindle_res_out}/zindle.exe.manifest @ONLY)

add_custom_command(OUTPUT ${zindle_res_out}/zindle-window.ico
  COMMAND bash ${zindle_res}/window-icon.sh ${zindle_res}/WindowIcon.h ${zindle_res_out}/zindle-window.ico
  DEPENDS ${zindle_res}/window-icon.sh ${zindle_res}/ico.awk ${zindle_res}/WindowIcon.h
  COMMENT "Writing the window icon from WindowIcon.h" VERBATIM)

add_library(zindle_resources OBJECT ${zindle_res}/zindle.rc ${zindle_res_out}/zindle-window.ico)
# windres finds the files the .rc names along its include path.
target_include_directories(zindle_resources PRIVATE ${zindle_res_out} ${zindle_res})
# The compilers' warning options mean nothing to windres, which refuses them.
set_property(TARGET zindle_resources PROPERTY COMPILE_OPTIONS "")
set_source_files_properties(${zindle_res}/zindle.rc PROPERTIES OBJECT_DEPENDS
  "${zindle_res_out}/zindle-window.ico;${zindle_res_out}/zindle.exe.manifest;${zindle_res}/zindle.ico")
