#pragma once
// How the last command ended, for front ends that report it (the command
// line's exit status). The failure reports note it; the first failure of a
// command stands, also against the commands it runs inside itself (the blank
// check before programming, the verify after it).

namespace moltrix::feedback {

// NeedsErase: a refresh found bits the file wants at 1 where the EPROM holds
// 0, which only UV light can set.
enum class Outcome { Ok, Cancelled, NotBlank, VerifyMismatch, NoAck, ProgramFailed, EraseTimeout, Unsupported, NeedsErase };

class Outcomes {
public:
    // A command's run. The outermost one starts a new outcome; one started
    // inside it adds to the same outcome.
    class Command {
    public:
        explicit Command(Outcomes& o) : o_(o) {
            if (o_.depth_++ == 0) o_.last_ = Outcome::Ok;
        }
        ~Command() { --o_.depth_; }
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;

    private:
        Outcomes& o_;
    };

    // A new outcome, whatever runs.
    void Begin() { last_ = Outcome::Ok; }
    void Note(Outcome o) {
        if (last_ == Outcome::Ok) last_ = o;
    }
    Outcome Last() const { return last_; }

private:
    Outcome last_ = Outcome::Ok;
    int depth_ = 0;
};

}  // namespace moltrix::feedback
