// Finding a catalogue row from what an operator types on the command line.
#include <gtest/gtest.h>

#include "devices/device_lookup.h"

namespace moltrix::devices {
namespace {

TEST(DeviceLookup, NamesRowsAndNearMisses) {
    struct Case {
        const char* query;
        int row;
        bool refused;
    };
    for (const Case& c : {Case{"Eprom 27C256", 11, false}, Case{"eprom   27c256   ", 11, false},
                          Case{"27C256", 11, false}, Case{"11", 11, false}, Case{"Flash Atmel AT29C256", 23, false},
                          Case{"2716", 1, true}, Case{"1", 1, true}, Case{"41", 0, false}, Case{"27512", 0, false}, Case{"0", 0, false},
                          Case{"am29f010", 25, false}, Case{"X28C256", 33, false}, Case{"", 0, false}}) {
        SCOPED_TRACE(c.query);
        const DeviceLookup found = LookUpDevice(c.query);
        EXPECT_EQ(found.row, c.row);
        EXPECT_EQ(found.refused, c.refused);
    }
    const auto near = LookUpDevice("27C25").closeMatches;
    ASSERT_FALSE(near.empty());
    EXPECT_EQ(near.front(), "Eprom 27C256") << "a name holding the text comes first";
    EXPECT_TRUE(LookUpDevice("no such chip at all").closeMatches.empty());
}

}  // namespace
}  // namespace moltrix::devices
