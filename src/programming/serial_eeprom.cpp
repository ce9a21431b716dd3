#include "programming/serial_eeprom.h"

#include <algorithm>

#include "shell/programmer.h"

namespace moltrix::programming {
namespace {
constexpr int kPowerUpMs = 50;
constexpr int kBusyPollMs = 2;
constexpr std::int16_t kWriteCyclePolls = 50;
constexpr std::uint8_t kWriteDevice = 0xA0, kReadDevice = 0xA1;
}  // namespace

struct SerialEepromRoutines::Layout {
    std::int32_t pageSize;
    bool twoAddressBytes;  // 24C32: address div 256, then mod 256
    const char* eraseLine;
};

SerialEepromRoutines::SerialEepromRoutines(Programmer& p) : p_(p) {
    p_.program.Register({"SA", "SB"}, [this] { Write24Cxx(); });
    p_.program.Register({"SC"}, [this] { Write24C32(); });
    p_.erase.write24Cxx = [this] { Write24Cxx(); };
    p_.erase.write24C32 = [this] { Write24C32(); };
    p_.checks.serialRead = [this] {
        Read24Cxx();
        return p_.serialBus.AckError;
    };
    p_.checks.serialVerify = [this] {
        Verify24Cxx();
        return p_.serialBus.AckError;
    };
}

void SerialEepromRoutines::Write24Cxx() { WritePages({16, false, "Erasing Device 24CXX"}); }

void SerialEepromRoutines::Write24C32() { WritePages({32, true, "Erasing Device 24C32"}); }

void SerialEepromRoutines::WritePages(const Layout& layout) {
    auto& r = p_.regs;
    auto& a = p_.addr;
    auto& bus = p_.serialBus;
    const auto& code = p_.buffers.CodeBuffer;
    const bool erasing = r.EraseMode == 1;
    if (erasing) {
        p_.log.AddLogLine(layout.eraseLine);
        p_.log.AddLogLine("Program Buffer will not be erased");
    }
    // Exactly the working size, as whole pages and then one shorter page, but
    // never past the chip's end (the chip would wrap round and overwrite its
    // first bytes). Erasing covers the whole chip.
    const std::int32_t chip = p_.selection.DeviceSize;
    const std::int32_t total = erasing ? chip : std::clamp(p_.buffers.CodeSize, 0, chip);
    const std::int32_t pages = (total + layout.pageSize - 1) / layout.pageSize;
    PowerUp();
    p_.progress.SetMaximum(pages);

    std::int32_t address = 0;
    for (std::int32_t page = 0; page < pages; ++page) {
        a.AdrMid = address / 256;
        a.AdrLow = address - a.AdrMid * 256;
        const auto deviceByte =
            static_cast<std::uint8_t>(layout.twoAddressBytes ? kWriteDevice : kWriteDevice + 2 * a.AdrMid);
        bus.SerialStart();
        if (!bus.Send(deviceByte)) return;
        if (layout.twoAddressBytes && !bus.Send(static_cast<std::uint8_t>(a.AdrMid))) return;
        if (!bus.Send(static_cast<std::uint8_t>(a.AdrLow))) return;
        const std::int32_t end = std::min(total, address + layout.pageSize);
        for (; address < end; ++address) {
            const std::uint8_t data = erasing ? 0xFF : code[static_cast<std::size_t>(address)];
            if (!bus.Send(data)) return;
        }
        bus.SerialStop();
        p_.progress.SetValue(p_.form.ProgressBar1.value + 1);
        PollWriteCycle(deviceByte);
        a.CEOFF();
        a.CEON();
    }
    r.Reg4 = 0;
    r.SetReg4();
    r.REG4ON();
}

void SerialEepromRoutines::PollWriteCycle(std::uint8_t deviceByte) {
    auto& bus = p_.serialBus;
    auto& a = p_.addr;
    bus.AckError = 0;
    do {
        bus.SerialStart();
        p_.program.DataOut = deviceByte;
        bus.SerialSendNoWait();
        ++bus.AckError;
        if (a.DataIn != 0) p_.svc.clock.Sleep(kBusyPollMs);
    } while (a.DataIn == 0x80 && bus.AckError < kWriteCyclePolls);
    if (a.DataIn == 0) bus.AckError = 0;
}

void SerialEepromRoutines::PowerUp() {
    p_.addr.OEOFF();
    p_.svc.clock.Sleep(kPowerUpMs);
    p_.serialBus.SerialBusClear();
}

bool SerialEepromRoutines::StartSequentialRead() {
    auto& r = p_.regs;
    auto& bus = p_.serialBus;
    PowerUp();
    bus.SerialStart();
    if (!bus.Send(kWriteDevice) || !bus.Send(0x00)) return false;
    if (p_.selection.DeviceType == "SC" && !bus.Send(0x00)) return false;
    bus.SerialStart();
    if (!bus.Send(kReadDevice)) return false;
    r.REG4OFF();
    r.Reg4 = 0;
    r.SetReg4();
    return true;
}

void SerialEepromRoutines::ReadNextByte() {
    p_.serialBus.SerialReadByte();
    p_.regs.REG4ON();
    p_.addr.CEOFF();
    p_.addr.CEON();
}

void SerialEepromRoutines::Read24Cxx() {
    auto& code = p_.buffers.CodeBuffer;
    if (!StartSequentialRead()) return;
    const std::int32_t size = p_.buffers.CodeSize;
    for (std::int32_t i = 0; i < size; ++i) {
        if (i % 16 == 0) p_.progress.SetValue(p_.form.ProgressBar1.value + 16);
        ReadNextByte();
        if (static_cast<std::size_t>(i) < code.size()) code[static_cast<std::size_t>(i)] = p_.addr.DataIn;
    }
    p_.serialBus.SerialStop();
}

void SerialEepromRoutines::Verify24Cxx() {
    const auto& code = p_.buffers.CodeBuffer;
    const std::int32_t size = p_.buffers.CodeSize;
    p_.progress.SetValue(0);
    p_.progress.SetMaximum(size);
    if (!StartSequentialRead()) return;
    for (std::int32_t i = 0; i < size; ++i) {
        if (i % 16 == 0) p_.progress.SetValue(p_.form.ProgressBar1.value + 16);
        ReadNextByte();
        const std::uint8_t expected = static_cast<std::size_t>(i) < code.size() ? code[static_cast<std::size_t>(i)] : 0xFF;
        if (expected != p_.addr.DataIn) {
            p_.checks.FailAddress = i;
            p_.checks.ReportVerifyError(expected);
            return;  // no stop condition
        }
    }
    p_.serialBus.SerialStop();
}

}  // namespace moltrix::programming
