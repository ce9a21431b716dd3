#pragma once
// The command line's exit statuses, one per way a command can end.
#include "feedback/outcome.h"

namespace moltrix::cli {

enum ExitStatus : int {
    kSuccess = 0,
    kFailed = 1,  // a file could not be read or written, or the operator cancelled
    kUsage = 2,
    kNoBoard = 3,
    kNotBlank = 4,
    kVerifyMismatch = 5,
    kNoAck = 6,
    kProgramFailed = 7,
    kEraseTimeout = 8,
    kUnsupported = 9,
    kBitsWavered = 10,
    kNoMajority = 11,
    kChecksumMismatch = 12,
    kNeedsErase = 13,
};

inline constexpr const char* kExitStatusHelp =
    "Exit status:\n"
    "  0  success\n"
    "  1  a file could not be read or written, or the command was cancelled\n"
    "  2  bad usage (unknown option, device or command)\n"
    "  3  no board found\n"
    "  4  the device is not blank\n"
    "  5  the device does not verify with the file\n"
    "  6  the serial EEPROM does not acknowledge\n"
    "  7  programming failed\n"
    "  8  the erase timed out\n"
    "  9  the device is not supported by this command\n"
    " 10  read --repeat: some bit did not read the same every time\n"
    " 11  read --repeat: some bit read as often 0 as 1 (no majority)\n"
    " 12  a checksum differs from its --expect value (said before 10 and 11)\n"
    " 13  refresh: the file needs a bit from 0 to 1, which only erasing gives\n";

inline int StatusOf(feedback::Outcome o) {
    switch (o) {
        case feedback::Outcome::Ok: return kSuccess;
        case feedback::Outcome::Cancelled: return kFailed;
        case feedback::Outcome::NotBlank: return kNotBlank;
        case feedback::Outcome::VerifyMismatch: return kVerifyMismatch;
        case feedback::Outcome::NoAck: return kNoAck;
        case feedback::Outcome::ProgramFailed: return kProgramFailed;
        case feedback::Outcome::EraseTimeout: return kEraseTimeout;
        case feedback::Outcome::Unsupported: return kUnsupported;
        case feedback::Outcome::NeedsErase: return kNeedsErase;
    }
    return kFailed;
}

}  // namespace moltrix::cli
