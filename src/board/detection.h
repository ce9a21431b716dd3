#pragma once
// Finding the board on the three LPT ports, telling its model, the operator's
// port and model choices, and the board set-up file that remembers the board.
//
// Presence test: register 3 is loaded so that register 4 drives the data lines,
// then register 4 with 00h and FFh; a board shows 000b and 111b on status bits
// 4-6. It is run once with the model-5/6 control codes (test A) and once with
// the model-4 codes (test B). A model-6 board differs from a model 5 only in
// reading an undriven D4 as 0 while register-3 bit 5 is set (test C).
#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

#include "board/board_ini_text.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::board {

inline constexpr const char* kBoardIniName = "moltrix6.ini";
// The three standard parallel-port base addresses, in option-button order.
inline constexpr std::int16_t kLpt1 = 0x378, kLpt2 = 0x278, kLpt3 = 0x3BC;
inline constexpr std::array<std::int16_t, 3> kLptPorts{kLpt1, kLpt2, kLpt3};

// Upper-case hexadecimal without prefix, as ports are shown to the operator.
std::string HexPort(std::int16_t port);

// The set-up file's text for a port and model (four lines, CR LF endings).
std::string BoardIniText(std::int16_t port, std::int16_t model, const std::string& dateTime);

class Detection {
public:
    explicit Detection(Programmer& p);

    // Port of the board found by the probe or named by the set-up file; 0 = none.
    std::int16_t BoardPort = 0;

    void CheckHardware();
    void TestHardware_button_Click();
    // The same probe on one port only (the command line's chosen port).
    void ProbePort(std::int16_t port);
    void ShowBoardFound();
    void LPTSelection_Click(int index);
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
    void ProbePorts(std::initializer_list<std::int16_t> ports);
    int TestModel56Codes();
    int TestModel4Codes();
    std::uint8_t ReadBackWithModel56Codes();
    Programmer& p_;
};

}  // namespace moltrix::board
