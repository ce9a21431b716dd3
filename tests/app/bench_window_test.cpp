// The window over a simulated bench with Qt's own message boxes: what the
// operator's keys and clicks do while the program asks and works, and what the
// chip in the socket gets from them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
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
#include "window_probe.h"

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

// "AAAAAA| " and the first 16 bytes as four groups: the start of a page as drawn.
std::string HexStart(std::uint32_t address, const std::uint8_t* bytes) {
    char out[64];
    int n = std::snprintf(out, sizeof out, "%06X| ", address);
    for (int i = 0; i < 16; ++i)
        n += std::snprintf(out + n, sizeof out - static_cast<std::size_t>(n), i % 4 == 3 ? "%02X " : "%02X", bytes[i]);
    return out;
}

// A click that waits in the queue until the event loop next runs, as one made
// while the program is busy does.
void PostClick(QWidget* w) {
    const QPointF at = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(at);
    QCoreApplication::postEvent(
        w, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        w, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

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
        return Shown{window}.Widget<W>(name);
    }
    QString Log() { return Shown{window}.Log(); }

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

    void WhenTheBoxShows(std::function<void(QMessageBox*)> answer) { WhenAMessageBoxShows(&window, answer); }

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

// A click on "Erase Buffer" while the chip is programmed is thrown away: not
// run inside the programming, and not run once it has ended either.
TEST_F(BenchWindowTest, ClicksDuringProgrammingAreDroppedNotRunLater) {
    InsertAndSelect("27C256", Blank);
    std::vector<std::uint8_t> image(32768);
    for (std::size_t a = 0; a < image.size(); ++a) image[a] = static_cast<std::uint8_t>(a * 7 + 3);
    OpenImage(image);
    auto* eraseBuffer = Widget<QPushButton>("Erase_button");
    ASSERT_TRUE(eraseBuffer->isEnabled());

    int posted = 0;
    // At every wait of the programming, and once it has reported success.
    simClock.onSleep = [&](int) {
        PostClick(eraseBuffer);
        ++posted;
    };
    core.form.SystemLog.onChange = [&] {
        if (core.form.SystemLog.text.ends_with("Programming Device Successfull")) {
            PostClick(eraseBuffer);
            ++posted;
        }
    };
    WhenTheBoxShows([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    QTest::mouseClick(Widget<QPushButton>("Program_button"), Qt::LeftButton);
    simClock.onSleep = nullptr;
    core.form.SystemLog.onChange = nullptr;
    QTest::qWait(20);  // anything still queued is delivered now

    EXPECT_FALSE(Log().contains("Buffer has been Erased")) << Log().toStdString();
    EXPECT_TRUE(Log().contains("Programming Device Successfull"));
    EXPECT_TRUE(board.chip()->Memory() == image);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), core.buffers.CodeBuffer.begin())) << "the buffer was erased";
    EXPECT_GE(posted, 2);
}

// One click on the scroll bar's arrow in the chip view reads one more page of
// the chip, however long that read takes: the arrow's auto-repeat, coming due
// during the read, never starts another read inside it.
TEST_F(BenchWindowTest, OneClickOnTheScrollArrowMovesTheChipViewOnePage) {
    const auto& memory = InsertAndSelect("27C256", Pattern);
    QTest::mouseClick(Widget<QPushButton>("Display_button"), Qt::LeftButton);
    auto* bar = Widget<QScrollBar>("VScroll1");
    ASSERT_EQ(bar->value(), 0);
    ASSERT_GE(bar->maximum(), 8);

    int pagesRead = 0;
    simClock.onSleep = [&](int milliseconds) {
        if (milliseconds != 500) return;  // the settling wait before each page is read
        // The first read takes its half second for real, as long as the
        // arrow waits before it repeats.
        if (++pagesRead == 1) std::this_thread::sleep_for(std::chrono::milliseconds(650));
    };
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 3));  // the lower arrow
    QTest::qWait(120);
    simClock.onSleep = nullptr;

    EXPECT_EQ(pagesRead, 1);
    EXPECT_EQ(core.form.VScroll1.value, 1);
    EXPECT_EQ(bar->value(), 1);
    const QString shown = Widget<QPlainTextEdit>("BufferDisplay")->toPlainText();
    EXPECT_EQ(shown.left(44).toStdString(), HexStart(0x100, memory.data() + 0x100));
}

// Selecting the device again while the chip is shown brings back the code
// buffer: the page shown and the pages scrolled to are the buffer's, as the
// frame's caption says, and the chip is not read.
TEST_F(BenchWindowTest, SelectingTheDeviceAgainShowsTheCodeBuffer) {
    const auto& memory = InsertAndSelect("27C256", Pattern);
    std::vector<std::uint8_t> image(4096);
    for (std::size_t a = 0; a < image.size(); ++a) image[a] = static_cast<std::uint8_t>(a * 3 + 1);
    OpenImage(image);
    QTest::mouseClick(Widget<QPushButton>("Display_button"), Qt::LeftButton);
    auto* display = Widget<QPlainTextEdit>("BufferDisplay");
    ASSERT_EQ(display->toPlainText().left(44).toStdString(), HexStart(0, memory.data()));

    int pagesRead = 0;
    simClock.onSleep = [&](int milliseconds) { pagesRead += milliseconds == 500; };
    auto* device = Widget<QComboBox>("Device");
    emit device->activated(device->currentIndex());
    EXPECT_EQ(Widget<QGroupBox>("Frame3")->title(), "Code Buffer Hex/Ascii Display");
    EXPECT_EQ(core.display.DisplaySource, "Read");
    EXPECT_EQ(display->toPlainText().left(44).toStdString(), HexStart(0, image.data()));
    EXPECT_EQ(Widget<QScrollBar>("VScroll1")->maximum(), 127);  // the device's size again, in pages

    Widget<QScrollBar>("VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(display->toPlainText().left(44).toStdString(), HexStart(0x100, image.data() + 0x100));
    EXPECT_EQ(pagesRead, 0) << "the chip was read";
}

// PageDown, PageUp and the wheel over the hex display turn pages through the
// scroll bar's handler: one page a key or a notch, never past either end.
TEST_F(BenchWindowTest, PageKeysAndTheWheelOverTheHexDisplayTurnPages) {
    InsertAndSelect("27C256", Blank);
    std::vector<std::uint8_t> image(4096);
    for (std::size_t a = 0; a < image.size(); ++a) image[a] = static_cast<std::uint8_t>(a * 7 + 3);
    OpenImage(image);
    auto* display = Widget<QPlainTextEdit>("BufferDisplay");
    auto wheel = [display](int eighths) {
        const QPointF at = QRectF(display->viewport()->rect()).center();
        QWheelEvent turn(at, display->viewport()->mapToGlobal(at), {}, QPoint(0, eighths), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(display->viewport(), &turn);
    };
    auto shownPage = [&] { return display->toPlainText().left(44).toStdString(); };

    QTest::keyClick(display, Qt::Key_PageDown);
    EXPECT_EQ(core.form.VScroll1.value, 1);
    EXPECT_EQ(Widget<QScrollBar>("VScroll1")->value(), 1);
    EXPECT_EQ(shownPage(), HexStart(0x100, image.data() + 0x100));
    wheel(-240);  // two notches towards the operator
    EXPECT_EQ(core.form.VScroll1.value, 3);
    EXPECT_EQ(shownPage(), HexStart(0x300, image.data() + 0x300));
    wheel(60);  // half a notch turns nothing yet
    EXPECT_EQ(core.form.VScroll1.value, 3);
    QTest::keyClick(display, Qt::Key_PageUp);
    wheel(60 + 240);
    EXPECT_EQ(core.form.VScroll1.value, 0);
    QTest::keyClick(display, Qt::Key_PageUp);
    EXPECT_EQ(core.form.VScroll1.value, 0);
    EXPECT_EQ(shownPage(), HexStart(0, image.data()));
}

// The function keys run the commands of the menu entries that show them.
TEST_F(BenchWindowTest, FunctionKeysRunTheCommandsTheirMenuEntriesShow) {
    const std::pair<const char*, const char*> keys[] = {{"mnuFileOpenCode", "Ctrl+O"}, {"mnuFileSaveCode", "Ctrl+S"},
                                                        {"menuReadCode", "F5"},       {"menuBlankCheck", "F6"},
                                                        {"menuProgramCode", "F7"},    {"menuVerifyCode", "F8"}};
    for (const auto& [entry, key] : keys) EXPECT_EQ(window.MenuAction(entry)->shortcut().toString(), key) << entry;

    const auto& memory = InsertAndSelect("27C256", Pattern);
    QApplication::setActiveWindow(&window);
    WhenTheBoxShows([](QMessageBox* box) { box->accept(); });  // the chip is not blank
    QTest::keyClick(&window, Qt::Key_F6);
    EXPECT_TRUE(Log().contains("Device IS NOT BLANK (ERASED)")) << Log().toStdString();
    QApplication::setActiveWindow(&window);  // back from the box
    QTest::keyClick(&window, Qt::Key_F5);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), core.buffers.CodeBuffer.begin()));
}

// The port box takes an address typed and confirmed with Enter; an address
// the PC does not have is refused in a box and the port in use shown again.
TEST_F(BenchWindowTest, APortTypedIntoThePortBoxIsTakenWithEnter) {
    ports.AttachBoard(0xD010, 5);
    auto* box = Widget<QLineEdit>("PortSelected");
    ASSERT_FALSE(box->isReadOnly());
    box->selectAll();
    QTest::keyClicks(box, "d010");
    EXPECT_EQ(core.regs.PortBase, 0x378) << "taken before Enter";
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(core.regs.PortBase, 0xD010);
    EXPECT_EQ(box->text(), "D010h");
    EXPECT_TRUE(Log().endsWith("Port Selection changed to D010h")) << Log().toStdString();

    std::string refusal;
    WhenTheBoxShows([&](QMessageBox* b) {
        refusal = b->text().toStdString();
        b->accept();
    });
    box->selectAll();
    QTest::keyClicks(box, "E050");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(refusal.rfind("This PC has no parallel port at E050h.", 0), 0u) << refusal;
    EXPECT_EQ(core.regs.PortBase, 0xD010);
    EXPECT_EQ(box->text(), "D010h");
}

}  // namespace
}  // namespace moltrix::app
