#include "feedback/cues.h"

#include "shell/programmer.h"

namespace moltrix::feedback {

std::string CueFileName(const std::string& cueName) {
    if (cueName == "INIT") return "init.wav";
    if (cueName == "ERROR") return "error.wav";
    if (cueName == "DONE") return "done.wav";
    if (cueName == "SLIDE") return "slide.wav";
    if (cueName == "OK") return "ok.wav";
    return "error.wav";
}

Cues::Cues(Programmer& p) : p_(p) {}

void Cues::PlayCue(const std::string& cueName) {
    p_.svc.sound.PlayAsync(p_.svc.paths.DataDir() / CueFileName(cueName));
}

}  // namespace moltrix::feedback
