#pragma once
// The code and data buffers, their working sizes, file names and flags.
#include <cstdint>
#include <string>
#include <vector>

namespace moltrix {
class Programmer;
}

namespace moltrix::buffers {

inline constexpr std::size_t kCodeBufferBytes = 2'100'001;
inline constexpr std::size_t kDataBufferBytes = 8'292;

class Buffers {
public:
    explicit Buffers(Programmer& p);

    std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferBytes, 0);
    std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferBytes, 0);
    std::int32_t CodeSize = 0, DataSize = 0;
    std::string CodeFileName, DataFileName, FileChecksum;
    std::int16_t CodeLoaded = 0, DataLoaded = 0;

private:
    Programmer& p_;
};

}  // namespace moltrix::buffers
