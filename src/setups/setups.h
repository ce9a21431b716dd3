#pragma once
// The four saved setup slots.
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::setups {

class Setups {
public:
    explicit Setups(Programmer& p);

private:
    Programmer& p_;
};

}  // namespace moltrix::setups
