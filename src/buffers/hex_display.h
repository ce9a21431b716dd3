#pragma once
// The hex/ASCII page display of the buffers and of the chip, and its export.
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::buffers {

class HexDisplay {
public:
    explicit HexDisplay(Programmer& p);

private:
    Programmer& p_;
};

}  // namespace moltrix::buffers
