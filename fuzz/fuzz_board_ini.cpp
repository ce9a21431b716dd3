// The board set-up file "moltrix6.ini" as read at start-up. Besides the
// sanitizers: a file whose CR LF ends were turned into LF (a copy through a
// Unix tool) must read the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/board_ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace moltrix::board;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const BoardIniValues v = ParseBoardIni(text);

    std::string unix;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) unix.push_back(text[i]);
    const BoardIniValues u = ParseBoardIni(unix);
    if (u.port != v.port || u.model != v.model || u.portLines != v.portLines || u.modelLines != v.modelLines ||
        u.error != v.error)
        __builtin_trap();
    return 0;
}
