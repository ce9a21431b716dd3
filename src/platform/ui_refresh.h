#pragma once

namespace moltrix::platform {

// Long operations run on the event thread. They call this to let the window
// show the current state of the form model (lamps, log, progress) while
// operator input stays blocked. Implementations may throttle the calls.
class UiRefresh {
public:
    virtual ~UiRefresh() = default;
    virtual void Refresh() = 0;
};

}  // namespace moltrix::platform
