// Sound out through SDL's own audio: the default device, opened and kept open
// on a thread of the player's own, so that a sound server that is slow or
// never answers delays nothing else. The header names no SDL type.
#pragma once

#include "platform/Audio.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {

class AudioPlayer {
public:
    // Receives each line the player has to say (without "zindle: "), on the
    // player's thread.
    using Report = std::function<void(const std::string& line)>;

    static constexpr int wantedRate = 48000;
    static constexpr int wantedFrames = 512;
    // How often a missing device is looked for again.
    static constexpr std::chrono::milliseconds retryPeriod{1000};

    // Starts at once; `source` is asked for samples once a device plays.
    // Needs SDL's audio driver hint set already (audioDriverList).
    AudioPlayer(AudioSource& source, Report report);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Closes the device and waits up to `bound` for the thread. No call to
    // the source runs once this returns. Idempotent.
    void stop(std::chrono::milliseconds bound = std::chrono::milliseconds(1000));

    struct Shared;

private:
    std::shared_ptr<Shared> shared;
    std::thread thread;
};

} // namespace platform
