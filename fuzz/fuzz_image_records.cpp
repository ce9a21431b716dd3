// Intel HEX and S-record files as the operator loads them into the code
// buffer. Besides the sanitizers: an image the reader accepts must come back
// byte for byte when written in the same format and read again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "buffers/image_formats.h"

namespace {
constexpr std::size_t kMaxBytes = 2'100'001;  // the code buffer's size
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace moltrix::buffers;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RecordImage image = ReadRecordImage(text, kMaxBytes);
    if (!image.ok() || image.format == ImageFormat::Raw) return 0;
    if (image.bytes.size() > kMaxBytes) __builtin_trap();

    const std::string again =
        image.format == ImageFormat::IntelHex ? WriteIntelHex(image.bytes) : WriteSRecords(image.bytes, "x");
    const RecordImage back = ReadRecordImage(again, kMaxBytes);
    if (!back.ok() || back.format != image.format || back.bytes != image.bytes) __builtin_trap();
    return 0;
}
