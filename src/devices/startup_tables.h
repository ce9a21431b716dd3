#pragma once
// Tables built once at start-up: the read-back decode tables that turn a raw
// status byte into data bits, and the characters the buffer views print.
#include <array>
#include <cstdint>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::devices {

inline constexpr const char* kPrintableChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890-=\\!@#$%^&*()_+|[]}{;:'/?.>,<";

class StartupTables {
public:
    explicit StartupTables(Programmer& p);

    // Models 5 and 6: status bits 3-6 become data bits 0-3 (Lo) or 4-7 (Hi).
    std::array<std::uint8_t, 256> NibbleTableLo{};
    std::array<std::uint8_t, 256> NibbleTableHi{};
    // Model 4: index = high halves of the two status readings; the inverted
    // BUSY line (index bits 3 and 7) is turned back by the XOR with 22h.
    std::array<std::uint8_t, 256> NibbleTable4{};
    std::string PrintableChars;

    void BuildStartupTables();

private:
    Programmer& p_;
};

}  // namespace moltrix::devices
