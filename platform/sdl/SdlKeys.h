// Key translation from SDL's key events to the Windows virtual-key codes the
// frame and the scene were written for. Pure functions over plain integers
// (SDL keycode, SDL scancode, SDL modifier bits) so the table can be tested
// without a display and this header stays free of SDL.
#pragma once

namespace platform {

// The virtual-key code of a key-down, or 0 for a key the toy does not know
// (such keys are dropped, never delivered).
int translateKey(int keycode, int scancode, unsigned modifiers);

// Whether Alt is down for this key-down: the Alt modifier, or an Alt key itself.
bool altDown(int virtualKey, unsigned modifiers);

// A system key-down (WM_SYSKEYDOWN) rather than a plain one: Alt is down, or
// the key is F10, as the desktop system the frame was designed around has it.
bool isSystemKey(int virtualKey, unsigned modifiers);

} // namespace platform
