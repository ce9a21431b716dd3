// The real main window on the offscreen platform, over a core on scripted fakes
// and a simulated parallel port: what the window shows follows the form model,
// and what the operator does reaches the core.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "main_window.h"
#include "qt_platform.h"
#include "sim/bench_setup.h"
#include "sim/simulated_ports.h"
#include "support/fakes.h"
#include "support/rig.h"
#include "window_probe.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace moltrix::app {
namespace {

using testing::TempDir;

class MainWindowTest : public ::testing::Test, protected WindowOnFakes {
protected:
    template <class W>
    W* Widget(const std::string& name) {
        return shown.Widget<W>(name);
    }
    QColor TextColor(const std::string& name) { return shown.TextColor(name); }
    QString ShownLog() { return shown.Log(); }
};

TEST_F(MainWindowTest, ShowsTitleFramesButtonsMenusAndBars) {
    window.Start();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("MOLTRIX-6 Eprom Programmer - Varnok - www.varnok.example (Version 1.0.67)"));

    const std::pair<const char*, const char*> frames[] = {
        {"Frame2", "Select Device"},          {"Frame4", "LPT Port Selection"},
        {"Frame6", "System Log"},
        {"Frame7", "Hi / Low Byte Programming"}, {"FrameVoltageSelection", "Select Device Programming Voltage"},
        {"Frame5", "Optional Auto Operations"}};
    for (const auto& [name, caption] : frames) EXPECT_EQ(Widget<QGroupBox>(name)->title(), caption) << name;

    const std::pair<const char*, const char*> buttons[] = {
        {"TestHardware_button", "TestPort"}, {"Read_button", "Read "},       {"Blank_button", "Blank Chk"},
        {"Display_button", "Display"},       {"Program_button", "Program"},   {"Verify_button", "Verify"},
        {"Erase_button", "Erase Buffer"},    {"EraseFlash_button", "Erase Chip"}};
    for (const auto& [name, caption] : buttons) EXPECT_EQ(Widget<QPushButton>(name)->text(), caption) << name;
    EXPECT_EQ(Widget<QPushButton>("TestHardware_button")->toolTip(), "Test Communication LPT port");
    EXPECT_EQ(Widget<QPushButton>("Erase_button")->toolTip(), "Erase Buffer to all \"FF\"");

    // Start-up state: only TestPort of the operations is usable, the option frames are hidden.
    EXPECT_TRUE(Widget<QPushButton>("TestHardware_button")->isEnabled());
    EXPECT_FALSE(Widget<QPushButton>("Program_button")->isEnabled());
    EXPECT_TRUE(Widget<QGroupBox>("FrameVoltageSelection")->isHidden());
    EXPECT_FALSE(Widget<QGroupBox>("Frame3")->isHidden());
    EXPECT_EQ(Widget<QLabel>("Ready_label")->text(), "NotReady");
    EXPECT_EQ(TextColor("Ready_label"), QColor(255, 0, 0));
    EXPECT_EQ(Widget<QLabel>("PleaseSelect")->text(), "Please  Select Device");
    auto* device = Widget<QComboBox>("Device");
    EXPECT_EQ(device->currentIndex(), -1);
    EXPECT_EQ(device->placeholderText(), "Please Select Device on this List");

    QStringList menus;
    for (QAction* a : window.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Tools", "&Command", "&Setup", "&Help"}));
    ASSERT_NE(window.MenuAction("menuEraseCode"), nullptr);
    EXPECT_EQ(window.MenuAction("menuEraseCode")->text(), "Erase CODE Buffer (\"FF\") ");
    EXPECT_FALSE(window.MenuAction("menuEraseCode")->isEnabled());
    EXPECT_TRUE(window.MenuAction("menuTestHardware")->isEnabled());
    EXPECT_TRUE(window.MenuAction("mnuHelpBar0")->isSeparator());

    EXPECT_EQ(window.ToolbarAction(1)->text(), "Open");
    EXPECT_EQ(window.ToolbarAction(1)->toolTip(), "Open File into Code Buffer");
    EXPECT_TRUE(window.ToolbarAction(1)->isEnabled());
    EXPECT_FALSE(window.ToolbarAction(2)->isEnabled());
    EXPECT_FALSE(window.ToolbarAction(4)->isVisible());
    EXPECT_EQ(window.StatusText(), "Status");
}

TEST_F(MainWindowTest, TestPortClickProbesThePortsAndShowsWhatItFound) {
    window.Start();
    ports.AttachBoard(0x378, 6);
    EXPECT_EQ(ShownLog(), "");
    QTest::mouseClick(Widget<QPushButton>("TestHardware_button"), Qt::LeftButton);
    EXPECT_TRUE(ShownLog().contains("MOLTRIX-6 Device was FOUND")) << ShownLog().toStdString();
    EXPECT_TRUE(Widget<QLabel>("MoltrixHardwareFound")->text().startsWith("MODEL 6"));
    EXPECT_EQ(Widget<QLabel>("Ready_label")->text(), "Ready");
}

TEST_F(MainWindowTest, ClickOnTheLitErrorLampClearsTheAlert) {
    window.Start();
    core.form.Program_button.enabled = true;
    core.alert.RaiseErrorAlert();
    window.SyncFromModel();
    EXPECT_EQ(TextColor("Error_label"), QColor(255, 0, 0));
    EXPECT_FALSE(Widget<QPushButton>("Program_button")->isEnabled());

    QTest::mouseClick(Widget<QLabel>("Error_label"), Qt::LeftButton);

    EXPECT_FALSE(core.lamps.ErrorLampLit());
    // A dark lamp is drawn in the colour of the face it sits on.
    EXPECT_EQ(TextColor("Error_label"), window.ControlWidget("Error_label")->parentWidget()->palette().color(
                                            QPalette::Button));
    EXPECT_TRUE(Widget<QPushButton>("Program_button")->isEnabled());
    EXPECT_TRUE(ShownLog().endsWith(">  Error Alert was Turned Off")) << ShownLog().toStdString();
}

TEST_F(MainWindowTest, LogViewAppendsOnlyWhatIsNewAndFollowsTheEnd) {
    window.Start();
    core.log.AddLogLine("first line");
    window.SyncFromModel();
    auto* view = Widget<QPlainTextEdit>("SystemLog");
    // Mark the blocks shown now; a view that re-set its whole text would lose the marks.
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next()) b.setUserState(7);

    for (int i = 0; i < 200; ++i) core.log.AddLogLine("line " + std::to_string(i));
    window.SyncFromModel();

    EXPECT_EQ(view->document()->firstBlock().userState(), 7);
    EXPECT_EQ(view->document()->findBlockByNumber(1).userState(), 7);
    QString expected = QString::fromStdString(core.form.SystemLog.text);
    expected.remove(QLatin1Char('\r'));
    EXPECT_EQ(view->toPlainText(), expected);
    EXPECT_TRUE(view->toPlainText().endsWith(">  line 199"));
    EXPECT_GT(view->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());

    core.log.Clear();  // a whole replacement starts the view again
    window.SyncFromModel();
    EXPECT_EQ(view->toPlainText(), "");
}

TEST_F(MainWindowTest, RefreshDuringALongOperationRepaintsFromTheModel) {
    window.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(40));  // past start-up's last repaint
    // The core calls the refresh hook itself; the test never syncs the window.
    core.lamps.ProgramLampOn();
    EXPECT_EQ(TextColor("Program_label"), QColor(0, 128, 0));
    core.progress.SetValue(40);  // may be skipped: within 30 ms of the last repaint
    core.log.AddLogLine("still working");
    core.form.BufferDisplay.SetText("000000  FF FF");
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    refresh.Refresh();
    EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 40);
    EXPECT_TRUE(ShownLog().endsWith(">  still working"));
    EXPECT_EQ(Widget<QPlainTextEdit>("BufferDisplay")->toPlainText(), "000000  FF FF");
}

// Dragging the display's scroll bar runs its handler once, when the thumb is
// let go; an arrow step runs it at once.
TEST_F(MainWindowTest, TheScrollHandlerRunsWhenADragEndsNotDuringIt) {
    window.Start();
    core.form.VScroll1.SetMax(40);
    window.SyncFromModel();
    std::vector<int> drawn;
    core.form.VScroll1.onChange = [&] { drawn.push_back(core.form.VScroll1.value); };
    auto* bar = Widget<QScrollBar>("VScroll1");
    bar->setSliderDown(true);
    for (int position : {3, 9, 17, 25}) bar->setSliderPosition(position);
    EXPECT_TRUE(drawn.empty());
    bar->setSliderDown(false);
    EXPECT_EQ(drawn, std::vector<int>{25});
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(drawn, (std::vector<int>{25, 26}));
}

TEST_F(MainWindowTest, OptionClickMarksItsGroupAndStaysMarkedWhenClickedAgain) {
    window.Start();
    auto* low = Widget<QRadioButton>("HiLow_button(2)");
    QTest::mouseClick(low, Qt::LeftButton);
    EXPECT_TRUE(core.form.HiLow_button2.value);
    EXPECT_FALSE(core.form.HiLow_button0.value);
    EXPECT_FALSE(Widget<QRadioButton>("HiLow_button(0)")->isChecked());
    QTest::mouseClick(low, Qt::LeftButton);
    EXPECT_TRUE(low->isChecked());
    EXPECT_TRUE(core.form.HiLow_button2.value);
}

TEST_F(MainWindowTest, TheProgramCanClearEveryOptionOfAGroup) {
    window.Start();
    core.form.LPTSelection.SetValue(1, true);
    window.SyncFromModel();
    EXPECT_TRUE(Widget<QRadioButton>("LPTSelection(1)")->isChecked());
    core.form.LPTSelection.SetValue(1, false);  // as start-up does before probing
    window.SyncFromModel();
    for (const char* name : {"LPTSelection(0)", "LPTSelection(1)", "LPTSelection(2)"})
        EXPECT_FALSE(Widget<QRadioButton>(name)->isChecked()) << name;
}

TEST_F(MainWindowTest, OpeningTheSetupMenuRunsItsHandlerFirst) {
    window.Start();
    int opened = 0;
    auto previous = core.form.Setup.onClick;
    core.form.Setup.onClick = [&] {
        ++opened;
        if (previous) previous();
        core.form.LoadSetup2.enabled = true;
    };
    QMenu* setup = window.MenuAction("Setup")->menu();
    ASSERT_NE(setup, nullptr);
    emit setup->aboutToShow();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(window.MenuAction("LoadSetup2")->isEnabled());
}

TEST_F(MainWindowTest, DatasheetPulseWidthIsACheckedEntryOfTheToolsMenu) {
    window.Start();
    QAction* entry = window.MenuAction("mnuToolsDatasheetPulse");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isCheckable());
    EXPECT_FALSE(entry->isChecked());
    entry->trigger();
    EXPECT_TRUE(entry->isChecked());
    EXPECT_EQ(core.pulse.Asked(), programming::PulseWidth::kDatasheet);
    entry->trigger();
    EXPECT_FALSE(entry->isChecked());
    EXPECT_EQ(core.pulse.Asked(), programming::PulseWidth::kSlider);
}

TEST_F(MainWindowTest, SetupMenuShowsEveryStoredNameAnEmptyOneToo) {
    window.Start();
    QMenu* setup = window.MenuAction("Setup")->menu();
    const auto slot2 = services.paths.workDir / "MXSetup2.INI";
    std::ofstream(slot2, std::ios::binary) << "SetupName = Bench two\r\n";
    emit setup->aboutToShow();
    EXPECT_EQ(window.MenuAction("LoadSetup2")->text(), "Bench two");
    std::ofstream(slot2, std::ios::binary) << "Short\r\n";  // no name after the 12th character
    emit setup->aboutToShow();
    EXPECT_EQ(window.MenuAction("LoadSetup2")->text(), "");
    EXPECT_TRUE(window.MenuAction("LoadSetup2")->isEnabled());
}

TEST_F(MainWindowTest, DoubleClickOnTheLogExportsIt) {
    window.Start();
    core.log.AddLogLine("to be saved");
    window.SyncFromModel();
    auto* view = Widget<QPlainTextEdit>("SystemLog");
    QTest::mouseDClick(view->viewport(), Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(services.paths.workDir / "MOLTRIX.LOG"));
}

TEST_F(MainWindowTest, ClosingStoresTheWindowGeometryInTwips) {
    window.Start();
    window.move(40, 30);
    window.resize(760, 520);
    const QRect outer = window.frameGeometry();
    window.close();
    EXPECT_EQ(settings.values["MOLTRIX6/Settings/MainLeft"], std::to_string(outer.x() * 15));
    EXPECT_EQ(settings.values["MOLTRIX6/Settings/MainTop"], std::to_string(outer.y() * 15));
    EXPECT_EQ(settings.values["MOLTRIX6/Settings/MainWidth"], std::to_string(outer.width() * 15));
    EXPECT_EQ(settings.values["MOLTRIX6/Settings/MainHeight"], std::to_string(outer.height() * 15));
}

// A place stored on a larger screen opens inside this one; the stored values
// stay as they were until the window closes.
TEST_F(MainWindowTest, AStoredPlaceOffTheScreenIsBroughtOntoIt) {
    const std::pair<const char*, const char*> stored[] = {
        {"MainLeft", "60000"}, {"MainTop", "-3000"}, {"MainWidth", "40000"}, {"MainHeight", "9000"}};
    for (const auto& [key, value] : stored) settings.values[std::string("MOLTRIX6/Settings/") + key] = value;
    window.Start();
    // Once framed, the window is sized again so that its outer size is the stored one.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry().height() == 600; }, 2000));
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry())) << "on " << screen.width() << "x" << screen.height();
    EXPECT_EQ(window.frameGeometry().height(), 600);  // the stored height, which fits
    for (const auto& [key, value] : stored) EXPECT_EQ(settings.values[std::string("MOLTRIX6/Settings/") + key], value);
}

// The status bar names the simulated bench in an area of its own, and only there.
TEST_F(MainWindowTest, TheStatusBarNamesTheBenchAndOnlyTheBench) {
    window.Start();
    EXPECT_EQ(window.BenchArea(), nullptr);
    core.form.sbStatusBar.benchText = "Simulated bench: 6@378:27C256=chip.bin";
    window.SyncFromModel();
    ASSERT_NE(window.BenchArea(), nullptr);
    EXPECT_TRUE(window.BenchArea()->isVisible());
    EXPECT_EQ(window.BenchArea()->text(), "Simulated bench: 6@378:27C256=chip.bin");
    EXPECT_EQ(window.StatusText(), "Status");
    EXPECT_EQ(sim::BenchName("6@378:27C256=/home/ann/roms/chip.bin;dead=1F00,5@278:24C16=/tmp/x/e.bin,pass=20ns"),
              "6@378:27C256=chip.bin;dead=1F00,5@278:24C16=e.bin,pass=20ns");
}

TEST_F(MainWindowTest, ACloseAskedForDuringAnOperationHappensWhenItEnds) {
    window.Start();
    window.show();
    bool stillOpenAfterAsking = false;
    window.RunOperatorAction([&] {
        window.close();  // the operator closes the window while the operation runs
        stillOpenAfterAsking = window.isVisible() && settings.values.empty();
    });
    EXPECT_TRUE(stillOpenAfterAsking);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(settings.values.count("MOLTRIX6/Settings/MainLeft"), 1u);  // the close handling ran
}

// The window over Qt's own dialogs and clock, with the refresh hook's 30 ms
// throttle: whatever the throttle skipped, a dialog or a sleep never stands
// over a stale picture.
class WindowBeforeWaitingTest : public ::testing::Test {
protected:
    // Sleeps advance simulated time only, and let the test look at the window first.
    struct WatchedSleeps : testing::FakeClock {
        std::function<void()> onSleep;
        void Sleep(int ms) override {
            if (onSleep) onSleep();
            FakeClock::Sleep(ms);
        }
    };

    WindowBeforeWaitingTest()
        : services{ports, clock, sound, settings, dialogs, help, launcher, refresh, FolderPaths(dir)},
          core(services), window(core) {
        refresh.SetTarget(&window);
        dialogs.SetOwner(&window);
        dialogs.SetRefresh(&refresh);
        window.Start();
    }

    // Runs `look` once the next message box is up, then presses its OK button.
    void WhenTheBoxShows(std::function<void()> look) {
        WhenAMessageBoxShows(&window, [look](QMessageBox* box) {
            look();
            box->button(QMessageBox::Ok)->click();
        });
    }

    TempDir dir;
    sim::SimulatedPorts ports;
    WatchedSleeps sleeps;
    QtUiRefresh refresh;
    QtClock clock{&sleeps, &refresh};
    testing::FakeSound sound;
    testing::MemorySettings settings;
    QtDialogs dialogs;
    testing::FakeHelp help;
    testing::FakeLauncher launcher;
    platform::Services services;
    Programmer core;
    MainWindow window;
    Shown shown{window};
};

TEST_F(WindowBeforeWaitingTest, TheErrorBoxStandsOverTheLitLampAndLockedButtons) {
    core.form.Program_button.enabled = true;
    window.SyncFromModel();
    QColor lamp;
    bool programEnabled = true;
    WhenTheBoxShows([&] {
        lamp = shown.TextColor("Error_label");
        programEnabled = shown.Widget<QPushButton>("Program_button")->isEnabled();
    });
    window.RunOperatorAction([&] {
        refresh.Refresh();  // a repaint just now: the alert's own falls inside the throttle
        core.alert.RaiseErrorAlert();
        core.alert.ShowErrorAlert();
    });
    EXPECT_EQ(lamp, QColor(255, 0, 0));
    EXPECT_FALSE(programEnabled);
    EXPECT_TRUE(shown.Widget<QPushButton>("Program_button")->isEnabled());  // restored after the box
}

TEST_F(WindowBeforeWaitingTest, ASleepStartsFromAnUpToDateWindow) {
    QColor lamp;
    QString log;
    sleeps.onSleep = [&] {
        lamp = shown.TextColor("DataFlow_label");
        log = shown.Log();
    };
    window.RunOperatorAction([&] {
        refresh.Refresh();
        core.lamps.DataFlowLampOn();
        core.log.AddLogLine("waiting for the chip");
        core.svc.clock.Sleep(500);
    });
    EXPECT_EQ(lamp, QColor(0, 128, 0));
    EXPECT_TRUE(log.endsWith(">  waiting for the chip")) << log.toStdString();
}

}  // namespace
}  // namespace moltrix::app

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
