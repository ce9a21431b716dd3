#include "rig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace moltrix::testing {
namespace fs = std::filesystem;

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("moltrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

Rig::Rig(platform::PortIo* port, platform::Clock* clockOverride)
    : services{port ? *port : recordingPort, clockOverride ? *clockOverride : clock, sound, settings, dialogs, help, launcher, refresh,
               platform::Paths{}} {
    fs::create_directories(dir.path() / "program");
    fs::create_directories(dir.path() / "work");
    fs::create_directories(dir.path() / "config");
    services.paths = {dir.path() / "program", dir.path() / "work", dir.path() / "config"};
    core = std::make_unique<Programmer>(services);
}

std::vector<std::string> Rig::LogMessages() const {
    std::vector<std::string> out;
    const std::string& t = core->form.SystemLog.text;
    std::size_t pos = 0;
    while ((pos = t.find("\r\n", pos)) != std::string::npos) {
        pos += 2;
        std::size_t end = t.find("\r\n", pos);
        std::string entry = t.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        auto mark = entry.find(">  ");
        out.push_back(mark == std::string::npos ? entry : entry.substr(mark + 3));
    }
    return out;
}

int DeviceListIndex(const Programmer& p, const std::string& part) {
    const auto& items = p.form.Device.items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].find(" " + part + " ") != std::string::npos) return static_cast<int>(i);
    ADD_FAILURE() << part << " is not in the device list";
    return -1;
}

}  // namespace moltrix::testing
