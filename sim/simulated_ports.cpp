#include "sim/simulated_ports.h"

#include <stdexcept>

namespace moltrix::sim {

SimulatedPorts::SimulatedPorts() {
    for (std::uint16_t base : kBases) {
        ports_.push_back(std::make_unique<Port>());
        ports_.back()->base = base;
    }
}

SimulatedPorts::Port* SimulatedPorts::Find(std::uint16_t address) {
    for (auto& p : ports_) {
        if (static_cast<std::uint16_t>(address - p->base) < 3) return p.get();
    }
    return nullptr;
}

SimulatedPorts::Port* SimulatedPorts::FindBase(std::uint16_t base) {
    Port* p = Find(base);
    return p && p->base == base ? p : nullptr;
}

void SimulatedPorts::PortOut(std::uint16_t port, std::uint8_t value) {
    time_.Advance(time_.access_time);
    ++writes_;
    Port* p = Find(port);
    if (!p) return;
    switch (port - p->base) {
        case 0:
            p->data = value;
            if (p->board) p->board->WriteData(value);
            break;
        case 2:
            p->control = value;
            if (p->board) p->board->WriteControl(value);
            break;
        default:
            break;  // the status register is read-only
    }
}

std::uint8_t SimulatedPorts::PortIn(std::uint16_t port) {
    time_.Advance(time_.access_time);
    ++reads_;
    Port* p = Find(port);
    if (!p) return 0xFF;
    switch (port - p->base) {
        case 0: return p->data;
        case 1: return p->board ? p->board->ReadStatus() : 0x7F;
        default: return p->control;
    }
}

Board& SimulatedPorts::AttachBoard(std::uint16_t base, int model) {
    Port* p = FindBase(base);
    if (!p) {
        if (base == 0 || base > 0xFFFD || Find(base) || Find(static_cast<std::uint16_t>(base + 2)))
            throw std::invalid_argument("the port's three addresses overlap another port's or leave 1-FFFFh");
        ports_.push_back(std::make_unique<Port>());
        p = ports_.back().get();
        p->base = base;
    }
    p->board = std::make_unique<Board>(model, time_, p->data, p->control);
    return *p->board;
}

std::vector<platform::PortInfo> SimulatedPorts::PortsOfThisPc() {
    std::vector<platform::PortInfo> out;
    for (const auto& p : ports_) out.push_back({p->base, {}});
    return out;
}

Board* SimulatedPorts::BoardAt(std::uint16_t base) {
    Port* p = FindBase(base);
    return p ? p->board.get() : nullptr;
}

}  // namespace moltrix::sim
