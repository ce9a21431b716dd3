// The bench clock: sleeps move simulated time, formats are fixed-width.
#include <gtest/gtest.h>

#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"

namespace moltrix::sim {
namespace {

TEST(SimClock, SleepsAndPortAccessesAdvanceSimulatedTime) {
    SimulatedPorts ports;
    SimClock clock(ports.Time());
    clock.Sleep(20);
    EXPECT_EQ(ports.Time().Now(), 20 * kMillisecond);
    ports.PortOut(0x378, 0);
    ports.PortIn(0x379);
    EXPECT_EQ(ports.Time().Now(), 20 * kMillisecond + 2 * kMicrosecond);
    clock.Sleep(0);
    clock.Sleep(-5);
    EXPECT_EQ(clock.TotalSleptMs(), 20);
}

TEST(SimClock, FixedDateAndFormats) {
    SimTime time;
    SimClock clock(time);
    clock.SetFixedNow({2026, 12, 7, 7, 5, 9});
    const platform::LocalDateTime now = clock.Now();
    EXPECT_EQ(clock.FormatTime(now), "07:05:09");
    EXPECT_EQ(clock.FormatShortDate(now), "12/07/2026");
}

}  // namespace
}  // namespace moltrix::sim
