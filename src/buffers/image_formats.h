#pragma once
// Intel HEX and Motorola S-record image files: reading them into a flat image
// and writing a flat image as records. Pure text work, no files, no buffers.
//
// A file counts as one of the record formats when its first line (blank lines
// aside) is made of the format's mark and hex digits only (":" for Intel HEX,
// "S" and a type digit for S-records). Anything else is a raw image. A record file is then
// checked whole, every record's length and checksum included, and refused at
// the first line that is wrong: programming a damaged record file, or its text
// as raw bytes, would put the wrong bytes into a chip.
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
    ImageFormat format = ImageFormat::Raw;  // Raw: the text is in neither record format
    std::vector<std::uint8_t> bytes;        // address 0 to the highest, gaps FFh
    std::size_t records = 0;                // records in the file, all types
    std::uint32_t lowest = 0, highest = 0;  // the data's address range
    int errorLine = 0;                      // counting from 1; 0 when the file is good
    std::string error;                      // why the file is refused, empty when good
    bool ok() const { return error.empty(); }
};

// Reads `content` as a record file. An image may reach at most `maxBytes`
// (address maxBytes - 1); a record above it refuses the file.
RecordImage ReadRecordImage(std::string_view content, std::size_t maxBytes);

// The whole image, address 0 on, as records of 16 data bytes with CR LF line
// ends. Intel HEX adds a type 04 record at each 64 KiB step and ends with the
// end-of-file record. S-records use S1, S2 or S3 addresses as the image's size
// needs, start with an S0 header carrying `header`, count the data records in
// an S5 (or S6) record and end with the matching S9, S8 or S7 record.
std::string WriteIntelHex(std::span<const std::uint8_t> image);
std::string WriteSRecords(std::span<const std::uint8_t> image, std::string_view header);

}  // namespace moltrix::buffers
