#include "programming/pulse_width.h"

#include "platform/busy_wait.h"
#include "product.h"
#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr const char* kSection = "Settings";
constexpr const char* kKey = "DatasheetPulse";
constexpr std::int32_t kLongPulseTimes = 5;  // LongFactor / PulseFactor
}  // namespace

PulseWidth::PulseWidth(Programmer& p) : p_(p) {
    p_.form.mnuToolsDatasheetPulse.onClick = [this] { mnuToolsDatasheetPulse_Click(); };
    Set(p_.svc.settings.Get(kAppTitle, kSection, kKey, "0") == "1" ? kDatasheet : kSlider);
}

void PulseWidth::Set(std::int32_t micros) {
    asked_ = micros < 0 ? kDatasheet : micros;
    p_.form.mnuToolsDatasheetPulse.checked = asked_ == kDatasheet;
}

std::int32_t PulseWidth::PulseMicros() const {
    if (asked_ != kDatasheet) return asked_;
    const auto& sel = p_.selection;
    if (sel.VppVolts == 21 || sel.VppVolts == 25) return 1000;  // NMOS: the "intelligent" 1 ms pulse
    if (sel.DeviceType == "P9") return 50;                        // 27C080 group
    return 100;                                                   // quick-pulse CMOS
}

void PulseWidth::Wait(bool longPulse) {
    const std::int32_t micros = PulseMicros();
    if (micros == 0) {
        p_.regs.PulseDelay();
        if (longPulse) p_.regs.LongDelay();
        return;
    }
    const std::int64_t width = static_cast<std::int64_t>(micros) * 1000 * (longPulse ? 1 + kLongPulseTimes : 1);
    // The register write that ends the pulse lets it run on through its two
    // strobe waits before it latches; they are part of the width.
    const std::int64_t strobes = 2 * static_cast<std::int64_t>(p_.regs.StrobeDelayCount) * platform::kPassNanos;
    p_.svc.clock.SpinNanos(width - strobes);
}

void PulseWidth::mnuToolsDatasheetPulse_Click() {
    Set(asked_ == kDatasheet ? kSlider : kDatasheet);
    p_.svc.settings.Set(kAppTitle, kSection, kKey, asked_ == kDatasheet ? "1" : "0");
}

}  // namespace moltrix::programming
