// The window over a simulated bench with Qt's own message boxes: what the
// operator's keys and clicks do while the program asks and works, and what the
// chip in the socket gets from them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <thread>

#include "main_window.h"
#include "qt_platform.h"
#include "sim/bench_setup.h"
#include "sim/sim_clock.h"
#include "sim/simulated_ports.h"
#include "support/fakes.h"
#include "support/rig.h"

namespace moltrix::app {
namespace {

// Simulated time for the chips; the test looks in at every sleep.
struct WatchedSimClock : sim::SimClock {
    using sim::SimClock::SimClock;
    std::function<void(int)> onSleep;
    void Sleep(int milliseconds) override {
        if (onSleep) onSleep(milliseconds);
        sim::SimClock::Sleep(milliseconds);
    }
};

// Qt's own message boxes; the file dialog answers from a list.
struct BoxesAndListedFiles : QtDialogs {
    std::deque<std::string> files;
    std::string FileDialog(platform::FileDialogMode, const std::string&, const std::string&, int* chosenType) override {
        if (chosenType) *chosenType = 0;
        if (files.empty()) return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
};


class BenchWindowTest : public ::testing::Test {
protected:
    BenchWindowTest()
        : board(ports.AttachBoard(0x378, 6)),
          services{ports, clock, sound, settings, dialogs, help, launcher, refresh,
                   {dir.path(), dir.path(), dir.path(), {}, {}}},
          core(services), window(core) {
        refresh.SetTarget(&window);
        dialogs.SetOwner(&window);
        dialogs.SetRefresh(&refresh);
        window.Start();  // the probe, with the socket still empty
        // A box nobody answers within a second is closed as Escape would and
        // noted, so a test fails instead of waiting for ever.
        QObject::connect(&strayWatch, &QTimer::timeout, &window, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ticksShown = box && box == lastBox ? ticksShown + 1 : 0;
            lastBox = box;
            if (box && ticksShown == 10) {
                strayBoxes.push_back(box->text().toStdString());
                box->reject();
            }
        });
        strayWatch.start(100);
    }
    ~BenchWindowTest() override { refresh.SetTarget(nullptr); }
    void TearDown() override { EXPECT_TRUE(strayBoxes.empty()) << "unanswered: " << strayBoxes.front(); }

    template <class W>
    W* Widget(const std::string& name) {
        auto* w = qobject_cast<W*>(window.ControlWidget(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString Log() { return Widget<QPlainTextEdit>("SystemLog")->toPlainText(); }

    // A new chip of `part` in the socket, holding `fill(address)`, and the part selected.
    std::vector<std::uint8_t>& InsertAndSelect(const std::string& part, std::uint8_t (*fill)(std::size_t)) {
        sim::Chip* chip = sim::InsertDevice(board, part);
        EXPECT_NE(chip, nullptr) << part;
        auto& memory = chip->Memory();
        for (std::size_t a = 0; a < memory.size(); ++a) memory[a] = fill(a);
        board.RefreshChip();
        auto* device = Widget<QComboBox>("Device");
        const int row = device->findText(QString::fromStdString(" " + part + " "), Qt::MatchContains);
        EXPECT_GE(row, 0) << part;
        device->setCurrentIndex(row);
        emit device->activated(row);
        return board.chip()->Memory();
    }

    // Opens an image file into the code buffer through the file name label.
    void OpenImage(const std::vector<std::uint8_t>& image) {
        const auto file = dir.path() / "image.bin";
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        dialogs.files.push_back(file.string());
        QTest::mouseClick(Widget<QLabel>("FileNameCodeText"), Qt::LeftButton);
        ASSERT_EQ(core.buffers.CodeLoaded, 1);
    }

    // Runs `answer` on the next message box once it is up.
    void WhenTheBoxShows(std::function<void(QMessageBox*)> answer) {
        auto* poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [poll, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            poll->stop();
            poll->deleteLater();
            answer(box);
        });
        poll->start(1);
    }

    testing::TempDir dir;
    sim::SimulatedPorts ports;
    sim::Board& board;
    WatchedSimClock simClock{ports.Time()};
    QtUiRefresh refresh;  // the program's own throttle
    QtClock clock{&simClock, &refresh};
    testing::FakeSound sound;
    testing::MemorySettings settings;
    BoxesAndListedFiles dialogs;
    testing::FakeHelp help;
    testing::FakeLauncher launcher;
    platform::Services services;
    Programmer core;
    MainWindow window;
    QTimer strayWatch;
    QPointer<QMessageBox> lastBox;
    int ticksShown = 0;
    std::vector<std::string> strayBoxes;
};

std::uint8_t Blank(std::size_t) { return 0xFF; }
std::uint8_t Pattern(std::size_t a) { return static_cast<std::uint8_t>(a * 13 + (a >> 8)); }

// Return at either safety question takes its default, Cancel: the chip is
// neither programmed nor erased.
TEST_F(BenchWindowTest, ReturnAtASafetyQuestionCancels) {
    struct Case {
        const char* part;
        std::uint8_t (*fill)(std::size_t);
        const char* button;
        const char* question;
        const char* cancelled;
    };
    const Case cases[] = {
        {"27C256", Blank, "Program_button", "Program the Device?", "Programming was Canceled by Operator"},
        {"AM29F040", Pattern, "EraseFlash_button", "Are you SURE about Erase the Device?",
         "Erasing Operation was Canceled by Operator"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        const auto& memory = InsertAndSelect(c.part, c.fill);
        OpenImage(std::vector<std::uint8_t>(1024, 0x5A));
        const std::vector<std::uint8_t> before = memory;
        QString asked;
        WhenTheBoxShows([&](QMessageBox* box) {
            asked = box->text();
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus && focus->window() == box ? focus : box, Qt::Key_Return);
        });
        QTest::mouseClick(Widget<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_EQ(asked, c.question);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the box was answered";
        EXPECT_TRUE(Log().endsWith(c.cancelled)) << Log().toStdString();
        EXPECT_TRUE(board.chip()->Memory() == before) << "the chip was written";
        EXPECT_EQ(board.counters().pulses.total, 0u);
        EXPECT_EQ(board.counters().flash_commands[0x80], 0u) << "an erase was begun";
    }
}


}  // namespace
}  // namespace moltrix::app
