// The board set-up file "moltrix6.ini": written whenever a board is adopted,
// read at start-up so that a known board needs no probe.
//
//   [MOLTRIX6 SETUP]
//   DATE = mm-dd-yyyy hh:mm:ss
//   IO_PORT = 378          port in upper-case hexadecimal
//   MODEL =  6             a blank for the sign, the digits, a trailing blank
//
// Lines end in CR LF. Only the IO_PORT and MODEL lines are read back; their
// keys must be written exactly so (upper case, one blank each side of "=").
// The text is read in board_ini_text.cpp.
#include <cstdio>
#include <system_error>

#include "board/detection.h"
#include "platform/file_io.h"
#include "shell/programmer.h"

namespace moltrix::board {
namespace {
namespace fs = std::filesystem;

// A valid file is some 80 bytes; anything near this is not one of ours.
constexpr std::uintmax_t kBoardIniMaxBytes = 64 * 1024;

std::string FormatDateTime(const platform::LocalDateTime& t) {
    char b[32];
    std::snprintf(b, sizeof b, "%02d-%02d-%04d %02d:%02d:%02d", t.month % 100, t.day % 100, t.year % 10000,
                  t.hour % 100, t.minute % 100, t.second % 100);
    return b;
}

}  // namespace

std::string BoardIniText(std::uint16_t port, std::int16_t model, const std::string& dateTime) {
    const std::string number = model < 0 ? std::to_string(model) : " " + std::to_string(model);
    return "[MOLTRIX6 SETUP]\r\n"
           "DATE = " + dateTime + "\r\n"
           "IO_PORT = " + HexPort(port) + "\r\n"
           "MODEL = " + number + " \r\n";
}

std::optional<fs::path> Detection::FindBoardIni() const {
    // Where the program's folder could not be written, a later file lies in
    // the configuration folder beside an older one: the newer one counts.
    std::optional<fs::path> newest;
    fs::file_time_type newestTime;
    for (const fs::path& dir : p_.svc.paths.BoardIniDirs()) {
        std::error_code ec;
        if (dir.empty()) continue;
        const fs::path file = dir / kBoardIniName;
        if (!fs::exists(file, ec)) continue;
        const fs::file_time_type written = fs::last_write_time(file, ec);
        if (ec) continue;
        if (!newest || written > newestTime) {
            newest = file;
            newestTime = written;
        }
    }
    return newest;
}

void Detection::WriteBoardIni() {
    const auto& r = p_.regs;
    const std::string text = BoardIniText(r.PortBase, r.BoardModel, FormatDateTime(p_.svc.clock.Now()));
    // The program's folder is often not writable once installed; the user's
    // configuration folder takes the file instead.
    std::string error = "no folder for it";
    for (const fs::path& dir : p_.svc.paths.BoardIniDirs()) {
        if (dir.empty()) continue;
        std::error_code ec;
        if (dir != p_.svc.paths.programDir) fs::create_directories(dir, ec);
        error = platform::WriteFileReplacing(dir / kBoardIniName, text);
        if (error.empty()) return;
    }
    p_.log.AddLogLine(std::string("Board Setup File ") + kBoardIniName + " not Saved: " + error);
}

void Detection::ReadBoardIni() {
    auto& r = p_.regs;
    r.SetPortBase(0);
    const auto file = FindBoardIni();
    if (!file) return;
    const platform::ReadResult read = platform::ReadWholeFile(*file, kBoardIniMaxBytes);
    const std::string skipped = std::string("Board Setup File ") + kBoardIniName + " Ignored: ";
    if (!read.ok) {
        p_.log.AddLogLine(skipped + read.error);
        return;
    }
    const BoardIniValues v = ParseBoardIni(std::string(read.bytes.begin(), read.bytes.end()));
    if (!v.error.empty()) {
        p_.log.AddLogLine(skipped + v.error);
        return;
    }
    if (v.portLines > 0) r.SetPortBase(v.port);
    if (v.modelLines > 0) r.BoardModel = v.model;
    if (v.portLines == 1 && v.modelLines == 1) BoardPort = r.PortBase;
    ShowBoardFound();
}

}  // namespace moltrix::board
