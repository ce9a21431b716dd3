#pragma once
// A core on fakes with helpers to make image files and answer file dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/rig.h"

namespace moltrix::testing {

class BuffersTest : public ::testing::Test {
protected:
    BuffersTest() { p.tables.BuildStartupTables(); }

    std::string MakeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        auto path = rig.services.paths.workDir / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    static std::vector<std::uint8_t> ReadFile(const std::string& path) {
        const std::string text = FileText(path);
        return {text.begin(), text.end()};
    }
    static std::vector<std::uint8_t> Pattern(std::size_t n, std::uint8_t seed = 0) {
        std::vector<std::uint8_t> v(n);
        for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 7 + seed);
        return v;
    }
    void OpenCode(const std::string& answer) {
        rig.dialogs.fileAnswers.push_back(answer);
        p.buffers.mnuFileOpenCode_Click();
    }
    void OpenData(const std::string& answer) {
        rig.dialogs.fileAnswers.push_back(answer);
        p.buffers.mnuFileOpenData_Click();
    }
    std::string LastLog() const {
        auto m = rig.LogMessages();
        return m.empty() ? std::string() : m.back();
    }
    const ScriptedDialogs::Shown* LastShown() const {
        return rig.dialogs.shown.empty() ? nullptr : &rig.dialogs.shown.back();
    }

    Rig rig;
    Programmer& p = rig.p();
    form::MainForm& f = p.form;
};

}  // namespace moltrix::testing
