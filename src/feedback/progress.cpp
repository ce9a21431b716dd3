#include "feedback/progress.h"

#include "shell/programmer.h"

namespace moltrix::feedback {

Progress::Progress(Programmer& p) : p_(p) {}

void Progress::GoProgressiveBar1() {
    if (ProgressStep <= 0) return;
    ++ProgressCount;
    if (ProgressCount >= ProgressStep) {
        ProgressCount = 0;
        auto& bar = p_.form.ProgressBar1;
        if (bar.value + 1 <= bar.max) SetValue(bar.value + 1);
    }
}

void Progress::Start(std::int16_t step) {
    ProgressStep = step;
    ProgressCount = 0;
}

void Progress::SetMaximum(double m) {
    auto& bar = p_.form.ProgressBar1;
    bar.max = m;
    SetValue(bar.value);
}

void Progress::SetValue(double v) {
    auto& bar = p_.form.ProgressBar1;
    if (v > bar.max) v = bar.max;
    if (v < bar.min) v = bar.min;
    if (bar.value == v) return;
    bar.value = v;
    p_.svc.refresh.Refresh();
}

void Progress::ResetBar() {
    p_.form.ProgressBar1.max = 100;
    SetValue(0);
}

}  // namespace moltrix::feedback
