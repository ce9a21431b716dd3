#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/counters.h"
#include "sim/seeded.h"
#include "sim/sim_time.h"
#include "sim/socket.h"
#include "sim/vcd_trace.h"

namespace moltrix::sim {

// A MOLTRIX programmer board of model 4, 5 or 6 on one parallel port.
//
// Control lines (port base+2, bits 0-3), decoded value d = c on model 4 and
// c XOR 0Fh on models 5 and 6:
//   d bit 0     strobe: while 1 the selected register is "pulsed"; the
//               register latches the data lines when d leaves that code
//   d bits 1-3  register select: 5 = reg0, 1 = reg1, 4 = reg2, 0 = reg3,
//               7 = reg4 (2, 3 and 6 select nothing)
//   d bit 2     nibble multiplexer: 0 = D0-D3, 1 = D4-D7 onto the status lines
//
// Status lines (port base+1), the selected nibble n0-n3:
//   model 4     n0 -> bit 6, n1 -> BUSY (bit 7, read inverted), n2 -> bit 5,
//               n3 -> bit 4
//   model 5/6   n0-n3 -> bits 3-6, bit 7 unused
//   unused status bits read 1.
//
// Data lines of the socket: register 4 drives them while register-3 bit 6 is
// 0; the chip drives them when its read conditions hold; both at once is a
// bus contention (counted). Both drivers are push-pull: a line they drive to
// the same level reads that level, a line they disagree on is indeterminate
// and reads a seeded random bit (and the status read is counted). Undriven
// lines read 1 (pull-ups). Model 6 only: while register-3 bit 5 is 1, an
// undriven D4 reads 0.
//
// Programming voltage: models 5 and 6 generate it always, at the level of
// register-0 bits 0-1 (00/01 12.5 V, 10 21 V, 11 25 V); model 4 only while
// register-0 bit 2 is 1, at its fixed level. Register-0 bits 4, 5, 7 route it
// to the socket (see the socket profiles).
//
// The latches power up holding FFh: CE off, register 4 released.
class Board {
public:
    // `data_lines` and `control_lines`: what the port puts out as the board is
    // plugged in. The board takes them as its lines' levels (no edge, no latch).
    Board(int model, SimTime& time, std::uint8_t data_lines = 0, std::uint8_t control_lines = 0);

    // Port side.
    void WriteData(std::uint8_t value) { data_port_ = value; }
    void WriteControl(std::uint8_t value);
    std::uint8_t ReadStatus();

    int Model() const { return model_; }

    // What the board holds.
    // Throws std::invalid_argument for n outside 0-4.
    std::uint8_t Register(int n) const;
    std::uint8_t DataBus();          // level of the data lines now (random where they clash)
    bool SdaLine() const;            // two-wire data line (after the wired-AND)
    std::uint16_t VppTenths() const; // programming voltage generated now, 0 = none

    Socket& socket() { return socket_; }
    // The chip in the socket (nullptr when empty), brought up to the present
    // simulated time first, so that finished write cycles show.
    Chip* chip() { return Live(); }
    // Puts a chip in the socket (replacing any) / takes it out. Throws
    // std::invalid_argument for a chip whose size is not the profile's.
    void Insert(std::unique_ptr<Chip> chip, const SocketProfile& profile);
    std::unique_ptr<Chip> RemoveChip();
    // Lets the chip see the lines again after its contents or settings were
    // changed from outside (preloading, fault switches).
    void RefreshChip() {
        if (socket_.chip()) UpdateChip();
    }

    BoardCounters& counters() { return counters_; }

    // Model-4 boards make one fixed programming voltage, set by the board's
    // own hardware; tenths of a volt.
    std::uint16_t model4_vpp_tenths = 125;
    // Where the indeterminate bits of a bus contention come from.
    void SetSeed(std::uint64_t seed) { noise_ = SeededBits(seed); }

    bool StartTrace(const std::string& path, std::string* error);
    void StopTrace();

private:
    // The chip in the socket (nullptr when empty), ticked first if its next
    // event has come.
    Chip* Live() {
        Chip* c = socket_.chip();
        if (c && time_.Now() >= c->next_event) c->Tick(time_.Now());
        return c;
    }
    std::uint8_t Decode(std::uint8_t control) const;  // after the model's inversion
    // The data lines; `clash` gets the lines the two drivers disagree on.
    std::uint8_t Bus(std::uint8_t& clash);
    void Latch(int reg);
    void UpdateChip();
    void TraceLines();

    const int model_;
    SimTime& time_;
    std::array<std::uint8_t, 5> regs_{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::uint8_t data_port_ = 0;
    std::uint8_t decoded_;       // control value after the model's inversion
    bool contention_ = false;
    const std::uint8_t (*status_)[256];  // [nibble select][data bus] -> status
    Socket socket_;
    BoardCounters counters_;
    SeededBits noise_{1};
    std::unique_ptr<VcdTrace> trace_;
};

}  // namespace moltrix::sim
