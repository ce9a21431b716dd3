#include "sim/bench_setup.h"

#include <cstdio>
#include <filesystem>

#include "sim/bench_options.h"
#include "sim/device_models.h"

namespace moltrix::sim {
namespace {

std::string HexText(unsigned port) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", port);
    return hex;
}

// Parses "MODEL@PORT[:DEVICE[=IMAGE]]"; returns an error text or "".
std::string ParseBoardHead(std::string_view item, BoardSetup& out) {
    const std::size_t at = item.find('@');
    const std::string_view model = Trim(item.substr(0, at));
    std::string_view rest = item.substr(at + 1);
    if (model != "4" && model != "5" && model != "6") {
        return "board model " + Quote(model) + " is not 4, 5 or 6";
    }
    out.model = model[0] - '0';

    const std::size_t colon = rest.find(':');
    const std::string_view port = Trim(rest.substr(0, colon));
    unsigned value = 0;
    // A port's three addresses (data, status, control) must fit below 10000h.
    if (!ParseHex(port, value) || value == 0 || value > 0xFFFD) {
        return "port " + Quote(port) + " is not an address from 1 to FFFD (hex), e.g. 378, 278, 3BC or D010";
    }
    for (std::uint16_t standard : SimulatedPorts::kBases) {
        if (value != standard && value + 2 >= standard && value <= standard + 2u) {
            return "port " + Quote(port) + " overlaps the standard port " + HexText(standard);
        }
    }
    out.port = static_cast<std::uint16_t>(value);
    if (colon == std::string_view::npos) return "";

    rest = rest.substr(colon + 1);
    const std::size_t eq = rest.find('=');
    const std::string_view device = Trim(rest.substr(0, eq));
    if (device.empty()) return "no device named after ':' in " + Quote(item);
    if (!FindDeviceModel(device)) {
        return "unknown device " + Quote(device) + " (a catalogue name such as 27C256 or a type such as P4)";
    }
    out.device = std::string(device);
    if (eq != std::string_view::npos) {
        const std::string_view image = Trim(rest.substr(eq + 1));
        if (image.empty()) return "no image file named after '=' in " + Quote(item);
        out.image = std::string(image);
    }
    return "";
}

// Parses one "MODEL@PORT[:DEVICE[=IMAGE]][;OPTION]..."; returns an error
// text or "".
std::string ParseBoard(std::string_view item, BoardSetup& out) {
    const std::size_t semicolon = item.find(';');
    std::string_view options = semicolon == std::string_view::npos ? std::string_view{} : item.substr(semicolon);
    item = Trim(item.substr(0, semicolon));
    std::string error = ParseBoardHead(item, out);
    while (error.empty() && !options.empty()) {
        options.remove_prefix(1);  // the ';'
        const std::size_t next = options.find(';');
        error = ParseBoardOption(options.substr(0, next), out);
        options = next == std::string_view::npos ? std::string_view{} : options.substr(next);
    }
    return error;
}

// Parses one comma-separated item into `setup`; returns an error text or "".
std::string ParseItem(std::string_view item, BenchSetup& setup) {
    if (item.empty()) return "empty entry between commas";
    if (item.find('@') == std::string_view::npos) {
        if (item.find('=') != std::string_view::npos) return ParseBenchSetting(item, setup);
        return "board " + Quote(item) + " has no '@' (expected MODEL@PORT, e.g. 6@378)";
    }
    BoardSetup board;
    if (std::string error = ParseBoard(item, board); !error.empty()) return error;
    for (const BoardSetup& other : setup.boards) {
        if (other.port == board.port) return "two boards on port " + HexText(board.port);
        if (other.port + 2 >= board.port && other.port <= board.port + 2)
            return "ports " + HexText(other.port) + " and " + HexText(board.port) + " overlap";
    }
    setup.boards.push_back(std::move(board));
    return "";
}

}  // namespace

BenchSetup ParseBenchSetup(std::string_view text) {
    BenchSetup setup;
    if (Trim(text).empty()) {
        setup.error = "empty bench set-up (expected MODEL@PORT[:DEVICE[=IMAGE]], e.g. 6@378:27C256)";
        return setup;
    }
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        const std::size_t length = comma == std::string_view::npos ? text.npos : comma - start;
        setup.error = ParseItem(Trim(text.substr(start, length)), setup);
        if (!setup.error.empty() || comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (!setup.error.empty()) {
        setup.boards.clear();
        setup.access_time.reset();
        setup.pass_time.reset();
    }
    return setup;
}

Chip* InsertDevice(Board& board, std::string_view device, std::uint64_t seed, std::string* error,
                   TimingCorner corner) {
    const DeviceModel* model = FindDeviceModel(device);
    if (!model) {
        if (error) *error = "unknown device " + Quote(device);
        return nullptr;
    }
    board.Insert(MakeChip(*model, seed, corner), *FindSocketProfile(model->type));
    return board.chip();
}

std::string ApplyBenchSetup(const BenchSetup& setup, SimulatedPorts& ports, std::uint64_t seed) {
    if (!setup.ok()) return setup.error;
    if (setup.access_time) ports.Time().access_time = *setup.access_time;
    if (setup.pass_time) ports.Time().pass_time = *setup.pass_time;
    for (const BoardSetup& b : setup.boards) {
        Board& board = ports.AttachBoard(b.port, b.model);
        if (b.vpp_tenths != 0) board.model4_vpp_tenths = b.vpp_tenths;
        if (b.device.empty()) continue;
        const std::uint64_t chip_seed = b.chip.seed.value_or(seed);
        board.SetSeed(chip_seed);
        std::string error;
        Chip* chip = InsertDevice(board, b.device, chip_seed, &error, b.chip.corner.value_or(TimingCorner::Typical));
        if (!chip) return error;
        board.socket().image_path = b.image;
        if (!b.image.empty() && std::filesystem::exists(b.image) && !chip->LoadImage(b.image, &error)) {
            return error;
        }
        ApplyChipOptions(b.chip, *chip);
        board.RefreshChip();
    }
    return "";
}

std::string SaveImages(SimulatedPorts& ports) {
    for (const platform::PortInfo& port : ports.PortsOfThisPc()) {
        Board* board = ports.BoardAt(port.base);
        if (!board || !board->chip() || board->socket().image_path.empty()) continue;
        std::string error;
        if (!board->chip()->SaveImage(board->socket().image_path, &error)) return error;
    }
    return "";
}

std::string BenchName(std::string_view text) {
    std::string name;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(",;");
        std::string_view item = text.substr(0, end);
        const std::size_t value = item.find('=');
        const std::size_t folder = item.rfind('/');
        if (value != std::string_view::npos && folder != std::string_view::npos && folder > value)
            name.append(item.substr(0, value + 1)).append(item.substr(folder + 1));
        else
            name.append(item);
        if (end == std::string_view::npos) break;
        name += text[end];
        text.remove_prefix(end + 1);
    }
    return name;
}

}  // namespace moltrix::sim
