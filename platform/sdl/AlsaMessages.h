// libasound's own complaints on stderr ("ALSA lib ..."), eight of them where
// there is no sound card at all, every time the device is looked for.
#pragma once

namespace platform {

// Silences them, where libasound is installed: the toy says in one line of
// its own why it plays silent. libasound is loaded here, as SDL loads it, so
// that the toy does not need it to start.
void silenceAlsaMessages();

} // namespace platform
