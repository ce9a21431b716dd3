#include "devices/startup_tables.h"

#include "shell/programmer.h"

namespace moltrix::devices {

StartupTables::StartupTables(Programmer& p) : p_(p) {}

void StartupTables::BuildStartupTables() {
    for (int i = 0; i < 256; ++i) NibbleTableLo[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i / 8) & 0x0F);
    for (int i = 0; i < 256; ++i)
        NibbleTableHi[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(((i / 8) & 0x0F) * 16);
    p_.addr.SetIdentityMaps();
    // Data bit k takes index bit kFrom[k].
    static constexpr int kFrom[8] = {2, 3, 1, 0, 6, 7, 5, 4};
    for (int i = 0; i < 256; ++i) {
        int d = 0;
        for (int k = 0; k < 8; ++k)
            if (i & (1 << kFrom[k])) d |= 1 << k;
        NibbleTable4[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(d ^ 0x22);
    }
    PrintableChars = kPrintableChars;
}

}  // namespace moltrix::devices
