#pragma once
// "moltrix-cli ports": the parallel ports of this PC (or of the bench).

namespace moltrix::sim {
class Bench;
}

namespace moltrix::cli {

// Prints every parallel port, who holds it and whether this user may use it;
// on a bench, the bench's ports. Looks only: claims nothing, probes nothing.
// Returns 0 when it could look, 3 when the PC has no parallel port.
int ListPorts(sim::Bench* bench);

}  // namespace moltrix::cli
