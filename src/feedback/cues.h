#pragma once
#include <filesystem>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::feedback {

// The sound file for a cue name: exact, case-sensitive names; any other name
// gets the error sound.
std::string CueFileName(const std::string& cueName);

class Cues {
public:
    explicit Cues(Programmer& p);
    // Starts the cue's sound from the program's folder and returns at once.
    void PlayCue(const std::string& cueName);

private:
    Programmer& p_;
};

}  // namespace moltrix::feedback
