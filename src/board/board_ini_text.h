#pragma once
// Reading the board set-up file's text ("moltrix6.ini"): pure text work, no
// files and no board, so that it can be tried on any text on its own.
#include <cstdint>
#include <string>

namespace moltrix::board {

struct BoardIniValues {
    std::uint16_t port = 0;
    std::int16_t model = 0;
    int portLines = 0, modelLines = 0;
    std::string error;  // set when a number does not fit its 16-bit field
};
// Reads the IO_PORT and MODEL lines of a set-up file's text; other lines and
// keys not written exactly so (upper case, blanks as shown) are ignored.
BoardIniValues ParseBoardIni(const std::string& text);

}  // namespace moltrix::board
