#!/usr/bin/env bash
# Every way OpenGL can be missing ends the program with the OpenGL message,
# not the window one, in a box and on stderr, and exit code 1, with nothing of
# the scene built: no GLX on the X server, a GL driver that cannot be loaded,
# a server that refuses the context, and a context without the fixed-function
# pipeline the frame draws with.
source "$(dirname "$0")/../support/shell/x11_session.sh"
probe_cap=$(memory_cap 4000000)

gl_message="Could not start Zindle because OpenGL is not available."
box_pattern='"Zindle": \("zindle" "Zindle"\)'

# expect_no_gl WHAT [NAME=VALUE...]: starts the probe with those variables and
# checks the ending.
expect_no_gl() {
  local what=$1
  shift
  start_probe "$@"
  wait_for 60 has_box || fail "$what: no message box; stderr: $(cat "$work/err.log")"
  grep -qxF "zindle: $gl_message" "$work/err.log" || fail "$what: not the OpenGL message: $(cat "$work/err.log")"
  ! grep -q "creating the main window" "$work/err.log" || fail "$what: the window message was shown"
  xdotool key --window "$(box_window)" Return 2>/dev/null
  expect_exit 30 1
  ! logged createScene || fail "$what: the scene was built"
  note "$what: the OpenGL message, exit 1"
}

start_xvfb 1024 768 -extension GLX
expect_no_gl "no GLX on the server"
stop_server

start_xvfb 1024 768
expect_no_gl "no GL driver" GALLIUM_DRIVER=no-such-driver
expect_no_gl "no context (indirect GLX refused)" LIBGL_ALWAYS_INDIRECT=1
expect_no_gl "a core-profile context" MESA_GL_VERSION_OVERRIDE=3.3FC
echo PASS
