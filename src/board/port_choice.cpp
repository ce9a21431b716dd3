// Ports the operator names: by the port box, by an address or device on the
// command line, or by a board found on a port of a PCI or PCIe card. The
// three standard ports are always offered (they have their option buttons);
// any other must be one the system lists.
#include <algorithm>
#include <cctype>
#include <string_view>

#include "board/detection.h"
#include "shell/programmer.h"

namespace moltrix::board {
namespace {

int OptionForPort(std::uint16_t port) {
    for (std::size_t i = 0; i < kLptPorts.size(); ++i)
        if (kLptPorts[i] == port) return static_cast<int>(i);
    return -1;
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string PortList(const std::vector<platform::PortInfo>& ports) {
    std::string out;
    for (const auto& port : ports) {
        if (!out.empty()) out += ", ";
        out += HexPort(port.base) + "h";
        if (!port.device.empty()) out += " (" + port.device + ")";
    }
    return out;
}

}  // namespace

std::optional<std::uint16_t> PortAddress(std::string_view s) {
    s = Trimmed(s);
    if (s.size() > 2 && (s.substr(0, 2) == "0x" || s.substr(0, 2) == "0X" || s.substr(0, 2) == "&H" || s.substr(0, 2) == "&h"))
        s.remove_prefix(2);
    else if (!s.empty() && (s.back() == 'h' || s.back() == 'H'))
        s.remove_suffix(1);
    if (s.empty() || s.size() > 4) return std::nullopt;
    unsigned v = 0;
    for (char c : s) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = v * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    if (v == 0) return std::nullopt;
    return static_cast<std::uint16_t>(v);
}

std::vector<platform::PortInfo> Detection::PortsOfThisPc() const {
    std::vector<platform::PortInfo> ports;
    for (std::uint16_t base : kLptPorts) ports.push_back({base, {}});
    for (const platform::PortInfo& port : p_.svc.port.PortsOfThisPc()) {
        auto same = std::find_if(ports.begin(), ports.end(), [&](const auto& p) { return p.base == port.base; });
        if (same == ports.end())
            ports.push_back(port);
        else if (same->device.empty())
            same->device = port.device;
    }
    return ports;
}

std::vector<std::uint16_t> Detection::OtherPortsOfThisPc() const {
    std::vector<std::uint16_t> others;
    for (const platform::PortInfo& port : PortsOfThisPc())
        if (OptionForPort(port.base) < 0) others.push_back(port.base);
    return others;
}

NamedPort Detection::PortNamed(const std::string& text) const {
    const std::string_view name = Trimmed(text);
    const auto ports = PortsOfThisPc();
    const auto theirs = [&] { return "The parallel ports of this PC: " + PortList(ports) + "."; };
    if (name.substr(0, 1) == "/") {
        for (const auto& port : ports)
            if (port.device == name) return {port.base, NamedPort::None, {}};
        return {0, NamedPort::NotOnThisPc, "This PC has no parallel port " + std::string(name) + ". " + theirs()};
    }
    const auto base = PortAddress(name);
    if (!base)
        return {0, NamedPort::NotAnAddress,
                "\"" + std::string(name) + "\" is not a port address: give it in hexadecimal, as 378 or D010, or name "
                "the port's device, as /dev/parport1."};
    for (const auto& port : ports)
        if (port.base == *base) return {*base, NamedPort::None, {}};
    return {0, NamedPort::NotOnThisPc,
            "This PC has no parallel port at " + HexPort(*base) + "h. " + theirs() +
                " A card the system does not list needs its driver: sudo modprobe parport_pc."};
}

void Detection::SelectPort(std::uint16_t base) {
    auto& f = p_.form;
    if (const int option = OptionForPort(base); option >= 0) {
        if (f.LPTSelection.Value(option))
            LPTSelection_Click(option);  // taken again: shown and logged again
        else
            f.LPTSelection.SetValue(option, true);
        return;
    }
    for (int i = 0; i < 3; ++i) f.LPTSelection.SetValue(i, false);
    const std::string text = HexPort(base) + "h";
    f.PortSelected.SetText(text);
    p_.log.AddLogLine("Port Selection changed to " + text);
    p_.regs.SetPortBase(base);
}

void Detection::PortSelected_EnterKey(const std::string& typed) {
    auto& f = p_.form;
    const NamedPort named = PortNamed(typed);
    if (named.problem == NamedPort::None) {
        SelectPort(named.base);
        return;
    }
    f.PortSelected.SetText(f.PortSelected.text);  // the box shows the port in use again
    p_.svc.dialogs.MessageBox(named.why, "", platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
}

void Detection::UsePort(std::uint16_t base) {
    if (BoardPort != base) ProbePort(base);
}

}  // namespace moltrix::board
