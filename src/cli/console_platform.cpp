#include "console_platform.h"

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "product.h"
#include "shell/programmer.h"

namespace moltrix::cli {

using platform::MsgButtons;
using platform::MsgResult;

MsgResult ConsoleDialogs::MessageBox(const std::string& text, const std::string& title, platform::MsgIcon,
                                     MsgButtons buttons, platform::MsgDefault defaultButton) {
    if (beforeOutput) beforeOutput();
    std::fprintf(stderr, "[%s] %s\n", title.empty() ? kAppTitle : title.c_str(), text.c_str());
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    const MsgResult yes = buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    const MsgResult no = buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
    if (assumeYes_) return yes;
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "(no terminal to answer on, and no --yes: cancelled)\n");
        return no;
    }
    // The first button is the "yes" of the terminal; any other default is its "no".
    const bool yesByDefault = defaultButton == platform::MsgDefault::First;
    std::fprintf(stderr, "Answer yes? %s ", yesByDefault ? "[Y/n]" : "[y/N]");
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) return no;
    if (answer.empty()) return yesByDefault ? yes : no;
    return answer == "y" || answer == "Y" || answer == "yes" ? yes : no;
}

void ConsoleClock::Sleep(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ConsoleProgress::Refresh() {
    if (!enabled_ || !p_) return;
    const auto& bar = p_->form.ProgressBar1;
    const double span = bar.max - bar.min;
    if (bar.value <= bar.min || span <= 0) {
        Clear();
        return;
    }
    const int percent = static_cast<int>(100 * (bar.value - bar.min) / span);
    if (percent == lastPercent_ && shown_) return;
    lastPercent_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent);
    std::fflush(stderr);
    shown_ = true;
}

void ConsoleProgress::Clear() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%*s\r", 48, "");
    std::fflush(stderr);
    shown_ = false;
    lastPercent_ = -1;
}

LogEcho::LogEcho(Programmer& p, ConsoleProgress& progress, std::FILE* out) : p_(p), progress_(progress), out_(out) {
    p_.form.SystemLog.onChange = [this] { Print(); };
}

// Entries are appended as a line break, the time, ">  " and the message.
void LogEcho::Print() {
    const auto& box = p_.form.SystemLog;
    if (box.generation != generation_ || box.text.size() < printed_) {
        generation_ = box.generation;
        printed_ = 0;
    }
    std::string fresh = box.text.substr(printed_);
    printed_ = box.text.size();
    if (fresh.empty()) return;
    progress_.Clear();
    std::string out;
    std::size_t at = 0;
    while (at < fresh.size()) {
        std::size_t next = fresh.find("\r\n", at);
        if (next == std::string::npos) next = fresh.size();
        if (next > at) out += fresh.substr(at, next - at) + "\n";
        at = next + 2;
    }
    std::fputs(out.c_str(), out_);
    std::fflush(out_);
}

}  // namespace moltrix::cli
