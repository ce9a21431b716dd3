#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/port_io.h"
#include "sim/board.h"
#include "sim/sim_time.h"

namespace moltrix::sim {

// The PC's three standard parallel ports (378h, 278h, 3BCh), each empty or
// with one board, and a port of a PCI or PCIe card wherever a board is
// attached elsewhere (D010h, FFF8h, ...). Per port: data (base, written), status (base+1, read),
// control (base+2, bits 0-3 written). A port without a board reads status
// 7Fh: floating inputs, BUSY shown inverted. Data and control read back what
// was last written. Every access advances simulated time by the time's
// `access_time`.
class SimulatedPorts : public platform::PortIo {
public:
    static constexpr std::array<std::uint16_t, 3> kBases{0x378, 0x278, 0x3BC};

    SimulatedPorts();

    void PortOut(std::uint16_t port, std::uint8_t value) override;
    std::uint8_t PortIn(std::uint16_t port) override;

    SimTime& Time() { return time_; }

    // Connects a new board of `model` to the port at `base` (replacing any),
    // adding a port there when the PC had none; the board finds the port's
    // data and control lines as last written. Throws std::invalid_argument for
    // a base whose three addresses would overlap another port's, wrap past
    // FFFFh or be 0, or a model other than 4, 5, 6.
    Board& AttachBoard(std::uint16_t base, int model);
    Board* BoardAt(std::uint16_t base);  // nullptr when none
    // Every port: the three standard ones, then the others in the order added.
    std::vector<platform::PortInfo> PortsOfThisPc() override;

    std::uint64_t PortWrites() const { return writes_; }
    std::uint64_t PortReads() const { return reads_; }

private:
    struct Port {
        std::uint16_t base = 0;
        std::uint8_t data = 0;
        std::uint8_t control = 0;
        std::unique_ptr<Board> board;
    };
    Port* Find(std::uint16_t address);
    Port* FindBase(std::uint16_t base);  // the port at exactly that base, or nullptr

    SimTime time_;
    std::vector<std::unique_ptr<Port>> ports_;  // boards hold references to a port's lines
    std::uint64_t writes_ = 0;
    std::uint64_t reads_ = 0;
};

}  // namespace moltrix::sim
