#include "sim/board.h"

#include <stdexcept>

namespace moltrix::sim {
namespace {

// Register chosen by decoded control bits 1-3; -1 = none.
constexpr int kSelectToRegister[8] = {3, 1, -1, -1, 2, 0, -1, 4};

struct StatusTables {
    std::uint8_t model4[2][256];
    std::uint8_t model56[2][256];

    StatusTables() {
        for (int sel = 0; sel < 2; ++sel) {
            for (int bus = 0; bus < 256; ++bus) {
                const unsigned n = sel ? (bus >> 4) & 0x0F : bus & 0x0F;
                unsigned s4 = 0x0F;                 // bits 0-3 unused
                s4 |= (n & 1) << 6;                 // n0 on bit 6
                s4 |= (n & 2) ? 0u : 0x80u;         // n1 on BUSY, inverted by the port
                s4 |= (n & 4) << 3;                 // n2 on bit 5
                s4 |= (n & 8) << 1;                 // n3 on bit 4
                model4[sel][bus] = static_cast<std::uint8_t>(s4);
                model56[sel][bus] = static_cast<std::uint8_t>(0x87 | (n << 3));
            }
        }
    }
};

const StatusTables& Tables() {
    static const StatusTables tables;
    return tables;
}

}  // namespace

Board::Board(int model, SimTime& time, std::uint8_t data_lines, std::uint8_t control_lines)
    : model_(model), time_(time), data_port_(data_lines) {
    if (model != 4 && model != 5 && model != 6) {
        throw std::invalid_argument("board model must be 4, 5 or 6");
    }
    status_ = model == 4 ? Tables().model4 : Tables().model56;
    decoded_ = Decode(control_lines);
}

std::uint8_t Board::Decode(std::uint8_t control) const {
    return model_ == 4 ? (control & 0x0F) : ((control ^ 0x0F) & 0x0F);
}

std::uint8_t Board::Register(int n) const {
    if (n < 0 || n >= static_cast<int>(regs_.size())) throw std::invalid_argument("board register must be 0-4");
    return regs_[static_cast<std::size_t>(n)];
}

void Board::WriteControl(std::uint8_t value) {
    const std::uint8_t d = Decode(value);
    const std::uint8_t old = decoded_;
    decoded_ = d;
    if ((old & 1) && old != d) {  // trailing edge of a strobe
        const int reg = kSelectToRegister[(old >> 1) & 7];
        if (reg >= 0) Latch(reg);
    }
}

void Board::Latch(int reg) {
    regs_[static_cast<std::size_t>(reg)] = data_port_;
    ++counters_.latches[static_cast<std::size_t>(reg)];
    if (trace_) trace_->Change(static_cast<VcdTrace::Signal>(reg), data_port_, time_.Now());
    if (socket_.chip()) UpdateChip();
    if (trace_) TraceLines();
}

std::uint16_t Board::VppTenths() const {
    if (model_ == 4) return (regs_[0] & 0x04) ? model4_vpp_tenths : 0;
    switch (regs_[0] & 0x03) {
        case 2: return 210;
        case 3: return 250;
        default: return 125;
    }
}

void Board::UpdateChip() {
    Chip* chip = Live();
    chip->Update(socket_.Pins(regs_, VppTenths()), time_.Now());
    const bool clash = chip->drives && (regs_[3] & 0x40) == 0;
    if (clash && !contention_) ++counters_.contention_events;
    contention_ = clash;
}

std::uint8_t Board::Bus(std::uint8_t& clash) {
    clash = 0;
    const bool reg4_drives = (regs_[3] & 0x40) == 0;
    std::uint8_t bus = reg4_drives ? regs_[4] : 0xFF;
    bool chip_drives = false;
    if (Chip* chip = Live()) {
        if (chip->sda_low) bus &= 0x7F;  // SDA is D7, wired-AND
        if (chip->drives) {
            chip_drives = true;
            const std::uint8_t out = chip->Output();
            if (reg4_drives) clash = static_cast<std::uint8_t>(bus ^ out);
            bus = clash ? static_cast<std::uint8_t>((out & ~clash) | (noise_.Byte() & clash)) : out;
        }
    }
    if (model_ == 6 && (regs_[3] & 0x20) && !reg4_drives && !chip_drives) bus &= 0xEF;
    return bus;
}

std::uint8_t Board::DataBus() {
    std::uint8_t clash;
    return Bus(clash);
}

bool Board::SdaLine() const {
    const bool master = (regs_[3] & 0x40) != 0 || (regs_[4] & 0x80) != 0;
    const Chip* chip = socket_.chip();
    return master && !(chip && chip->sda_low);
}

std::uint8_t Board::ReadStatus() {
    std::uint8_t clash;
    const std::uint8_t bus = Bus(clash);
    if (clash) ++counters_.contention_reads;
    if (trace_) trace_->Change(VcdTrace::kData, bus, time_.Now());
    return status_[(decoded_ >> 2) & 1][bus];
}

void Board::Insert(std::unique_ptr<Chip> chip, const SocketProfile& profile) {
    if (chip && chip->Size() != profile.size) {
        throw std::invalid_argument("chip '" + chip->Name() + "' does not fit the " + std::string(profile.type) +
                                    " socket profile: its size differs");
    }
    if (chip) chip->AttachCounters(&counters_);
    socket_.Insert(std::move(chip), profile);
    contention_ = false;
    if (socket_.chip()) UpdateChip();
}

std::unique_ptr<Chip> Board::RemoveChip() {
    auto chip = socket_.Remove();
    if (chip) chip->AttachCounters(nullptr);
    contention_ = false;
    return chip;
}

void Board::TraceLines() {
    const Nanos t = time_.Now();
    trace_->Change(VcdTrace::kData, DataBus(), t);
    if (socket_.Serial()) {
        trace_->Change(VcdTrace::kScl, regs_[3] >> 7, t);
        trace_->Change(VcdTrace::kSda, SdaLine() ? 1 : 0, t);
    }
}

bool Board::StartTrace(const std::string& path, std::string* error) {
    auto trace = std::make_unique<VcdTrace>();
    const VcdTrace::Levels levels{regs_[0], regs_[1], regs_[2], regs_[3], regs_[4],
                                  DataBus(), static_cast<std::uint32_t>(regs_[3] >> 7),
                                  SdaLine() ? 1u : 0u};
    if (!trace->Open(path, levels, time_.Now(), error)) return false;
    trace_ = std::move(trace);
    return true;
}

void Board::StopTrace() { trace_.reset(); }

}  // namespace moltrix::sim
