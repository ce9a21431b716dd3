#include "fakes.h"

#include <cstdio>

namespace moltrix::testing {

std::string FakeClock::FormatTime(const platform::LocalDateTime& t) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return b;
}

std::string FakeClock::FormatShortDate(const platform::LocalDateTime& t) {
    char b[24];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", t.month % 100, t.day % 100, t.year % 10000);
    return b;
}

void FakeClock::Advance(int seconds) {
    int total = now.hour * 3600 + now.minute * 60 + now.second + seconds;
    total %= 86400;
    now.hour = total / 3600;
    now.minute = total / 60 % 60;
    now.second = total % 60;
}

platform::MsgResult ScriptedDialogs::MessageBox(const std::string& text, const std::string& title,
                                                platform::MsgIcon icon, platform::MsgButtons buttons,
                                                platform::MsgDefault defaultButton) {
    shown.push_back({"message", text, title, icon, buttons, defaultButton});
    if (whileMessageShown) whileMessageShown();
    if (messageAnswers.empty()) return platform::MsgResult::Ok;
    auto r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
}

std::string ScriptedDialogs::InputBox(const std::string& prompt, const std::string& title, const std::string&) {
    shown.push_back({"input", prompt, title});
    if (inputAnswers.empty()) return {};
    auto r = inputAnswers.front();
    inputAnswers.pop_front();
    return r;
}

std::string ScriptedDialogs::FileDialog(platform::FileDialogMode mode, const std::string& title,
                                        const std::string& filter, int* chosenType) {
    shown.push_back({mode == platform::FileDialogMode::Open ? "open" : "save", filter, title});
    if (chosenType) *chosenType = 0;
    if (chosenType && !fileTypeAnswers.empty()) {
        *chosenType = fileTypeAnswers.front();
        fileTypeAnswers.pop_front();
    }
    if (fileAnswers.empty()) return {};
    auto r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

}  // namespace moltrix::testing
