#pragma once
#include <filesystem>

namespace moltrix::platform {

// Plays a WAV file and returns at once. A missing file or no audio device is
// silent; a new sound replaces one still playing.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void PlayAsync(const std::filesystem::path& wavFile) = 0;
};

}  // namespace moltrix::platform
