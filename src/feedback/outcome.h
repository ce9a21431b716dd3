#pragma once
// How the last command ended, for front ends that report it (the command
// line's exit status). The failure reports note it; the first failure of a
// command stands.

namespace moltrix::feedback {

enum class Outcome { Ok, Cancelled, NotBlank, VerifyMismatch, NoAck, ProgramFailed, EraseTimeout, Unsupported };

class Outcomes {
public:
    // A new command starts.
    void Begin() { last_ = Outcome::Ok; }
    void Note(Outcome o) {
        if (last_ == Outcome::Ok) last_ = o;
    }
    Outcome Last() const { return last_; }

private:
    Outcome last_ = Outcome::Ok;
};

}  // namespace moltrix::feedback
