#pragma once
// Intel HEX and Motorola S-record image files: reading them into a flat image
// and writing a flat image as records. Pure text work, no files, no buffers.
//
// How a file is read:
// - a name ending in .hex/.ihx (Intel HEX) or .s19/.s28/.s37/.srec/.mot
//   (S-records) says the format: the file reads as that or is refused;
// - otherwise a file of text (printable ASCII, blanks, tabs, line ends, after
//   an optional UTF-8 byte-order mark and up to a DOS end mark 1Ah) whose
//   first line begins as a record (":", or "S"/"s" and a type digit) is a
//   record file, and a damaged one is refused, never taken as raw;
// - a file holding any other byte is a record file only when its first line
//   is a record's mark and hex digits alone, as such files were always read;
// - anything else is a raw image.
// A record file is checked whole, every record's length and checksum
// included, and refused at the first line that is wrong: programming a
// damaged record file, or its text as raw bytes, would put the wrong bytes
// into a chip. Lines end in CR LF, LF or CR; blanks around a line, letter
// case and blank lines do not matter; any other line before the end record
// is refused; after it only another record is. Intel HEX data after a type 04
// record runs on across a 64 KiB step into the next bank; after a type 02
// record its offset wraps within the segment. A byte two records give
// differently is refused, naming both lines.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::buffers {

enum class ImageFormat { Raw, IntelHex, SRecord };

// "raw binary", "Intel HEX", "Motorola S-record".
const char* FormatName(ImageFormat format);

// The format a file name asks for by its extension, letter case ignored:
// .hex/.ihx Intel HEX, .s19/.s28/.s37/.srec/.mot S-records, anything else raw.
ImageFormat FormatFromExtension(std::string_view fileName);

struct RecordImage {
    ImageFormat format = ImageFormat::Raw;  // Raw: a raw image, the file's bytes as they are
    std::vector<std::uint8_t> bytes;        // address 0 to the highest, gaps FFh
    std::size_t records = 0;                // records in the file, all types
    std::uint32_t lowest = 0, highest = 0;  // the data's address range
    int errorLine = 0;                      // counting from 1; 0 when the file is good
    std::string error;                      // why the file is refused, empty when good
    bool ok() const { return error.empty(); }
};

// Reads the file `fileName` (only its extension counts; may be empty) holding
// `content`. A record image may reach at most `maxBytes` (address
// maxBytes - 1); a record above it refuses the file.
RecordImage ReadRecordImage(std::string_view content, std::size_t maxBytes, std::string_view fileName = {});

// The whole image, address 0 on, as records of 16 data bytes with CR LF line
// ends. Intel HEX adds a type 04 record at each 64 KiB step and ends with the
// end-of-file record. S-records use S1, S2 or S3 addresses as the image's size
// needs, start with an S0 header carrying `header`, count the data records in
// an S5 (or S6) record and end with the matching S9, S8 or S7 record.
std::string WriteIntelHex(std::span<const std::uint8_t> image);
std::string WriteSRecords(std::span<const std::uint8_t> image, std::string_view header);

}  // namespace moltrix::buffers
