// The bench clock: sleeps, busy-wait passes and port accesses move simulated
// time at their set costs; formats are fixed-width.
#include <gtest/gtest.h>

#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"

namespace moltrix::sim {
namespace {

TEST(SimClock, SleepsPassesAndPortAccessesAdvanceSimulatedTime) {
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

    // A pass of the program lasts 20 ns on a PC whose own loop is faster (1 ns
    // a pass by default), its own pass on a slower one.
    const Nanos t0 = ports.Time().Now();
    clock.Spin(1000);
    EXPECT_EQ(ports.Time().Now(), t0 + 20'000);
    ports.Time().pass_time = 20;
    ports.Time().access_time = 1500;
    clock.Spin(1000);
    clock.Spin(0);
    clock.Spin(-3);
    ports.PortIn(0x379);
    EXPECT_EQ(ports.Time().Now(), t0 + 40'000 + 1500);
    ports.Time().pass_time = 50;
    clock.Spin(1000);
    EXPECT_EQ(ports.Time().Now(), t0 + 91'500);
    EXPECT_EQ(clock.TotalSpunPasses(), 3000);
    clock.SpinNanos(100'000);  // a pulse timed in microseconds: simulated time, whatever a pass costs
    EXPECT_EQ(ports.Time().Now(), t0 + 191'500);
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
