#pragma once
// Finding the board on the three LPT ports (and, when none answers there, on
// the other parallel ports the PC has), telling its model, the operator's port
// and model choices, and the board set-up file that remembers the board.
//
// Presence test: register 3 is loaded so that register 4 drives the data lines,
// then register 4 with 00h and FFh; a board shows 000b and 111b on status bits
// 4-6. It is run once with the model-5/6 control codes (test A) and once with
// the model-4 codes (test B). A model-6 board differs from a model 5 only in
// reading an undriven D4 as 0 while register-3 bit 5 is set (test C).
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_ini_text.h"
#include "platform/port_io.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::board {

inline constexpr const char* kBoardIniName = "moltrix6.ini";
// The three standard parallel-port base addresses, in option-button order.
inline constexpr std::uint16_t kLpt1 = 0x378, kLpt2 = 0x278, kLpt3 = 0x3BC;
inline constexpr std::array<std::uint16_t, 3> kLptPorts{kLpt1, kLpt2, kLpt3};

// Upper-case hexadecimal without prefix, as ports are shown to the operator.
std::string HexPort(std::uint16_t port);

// The set-up file's text for a port and model (four lines, CR LF endings).
std::string BoardIniText(std::uint16_t port, std::int16_t model, const std::string& dateTime);

// A port address as the operator writes it: one to four hexadecimal digits,
// not all 0, with an optional "0x" or "&H" before or "h" after ("D010",
// "d010h", "0xD010"); nothing for any other text.
std::optional<std::uint16_t> PortAddress(std::string_view text);

// A port the operator named, or why it cannot be taken.
struct NamedPort {
    enum Problem { None, NotAnAddress, NotOnThisPc };
    std::uint16_t base = 0;
    Problem problem = None;
    std::string why;  // for the operator, when there is a problem
};

class Detection {
public:
    explicit Detection(Programmer& p);

    // Port of the board found by the probe or named by the set-up file; 0 = none.
    std::uint16_t BoardPort = 0;

    void CheckHardware();
    void TestHardware_button_Click();
    // The same probe on one port only (the port named on the command line).
    void ProbePort(std::uint16_t port);
    void ShowBoardFound();
    void LPTSelection_Click(int index);
    // The operator typed a port into the port box and pressed Enter; a port
    // the PC does not have is refused with a message naming those it has.
    void PortSelected_EnterKey(const std::string& typed);

    // The ports the operator may choose: the three standard ones, then the
    // others the system lists (port_choice.cpp).
    std::vector<platform::PortInfo> PortsOfThisPc() const;
    // A port named by its address in hexadecimal ("D010", "d010h", "0xD010")
    // or by its device ("/dev/parport1").
    NamedPort PortNamed(const std::string& text) const;
    // Takes a port as a click on its option does: the port box shows it, the
    // log says so, and `PortBase` follows; the board model, its codes and the
    // set-up file stay as they are.
    void SelectPort(std::uint16_t base);
    // The board at a port named on the command line: probed there unless
    // it is already the board's port.
    void UsePort(std::uint16_t base);
    void ForceMoltrix4_Click() { ForceModel(4); }
    void ForceMoltrix5_Click() { ForceModel(5); }
    void ForceMoltrix6_Click() { ForceModel(6); }
    void WriteBoardIni();
    void ReadBoardIni();

    // Where the set-up file is read from: the newer of the program folder's
    // and the configuration folder's (the bench's own folder in bench mode);
    // nothing when none holds one.
    std::optional<std::filesystem::path> FindBoardIni() const;

private:
    void ForceModel(int model);
    void ProbePorts(const std::vector<std::uint16_t>& ports, bool lookFurther);
    void TestPorts(const std::vector<std::uint16_t>& ports);
    std::vector<std::uint16_t> OtherPortsOfThisPc() const;
    int TestModel56Codes();
    int TestModel4Codes();
    std::uint8_t ReadBackWithModel56Codes();
    Programmer& p_;
};

}  // namespace moltrix::board
