// The window's input as a desktop expects it: the speed slider acts once a
// drag is let go and shows its position; the device list's wheel needs the
// focus and its keys step over the devices the selection refuses; the help
// viewer's search opens its first match with Return and wraps paragraphs once.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

#include "help_window.h"
#include "main_window.h"
#include "qt_platform.h"
#include "sim/simulated_ports.h"
#include "support/fakes.h"
#include "support/rig.h"
#include "window_probe.h"

namespace moltrix::app {
namespace {

class WindowInputTest : public ::testing::Test, protected WindowOnFakes {
protected:
    WindowInputTest() { window.Start(); }
    int LogLines(const QString& text) { return static_cast<int>(shown.Log().count(text)); }
    int Cues(const char* file) {
        int n = 0;
        for (const auto& p : sound.played) n += p.filename() == file;
        return n;
    }

};

// A drag logs and sounds once, when the thumb is let go; the label beside the
// slider follows the thumb meanwhile, and the model's position afterwards.
TEST_F(WindowInputTest, SpeedSliderActsOnceADragEndsAndShowsItsPosition) {
    auto* slider = shown.Widget<QSlider>("Slider1");
    auto* value = slider->parentWidget()->findChild<QLabel*>("Slider1Value", Qt::FindDirectChildrenOnly);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text(), QString::number(core.form.Slider1.value));
    const QString line = QStringLiteral("Program Speed Slider set to: ");
    const int cues = Cues("slide.wav");

    slider->setSliderDown(true);
    for (int position : {15, 11, 8, 6}) {
        slider->setSliderPosition(position);
        EXPECT_EQ(value->text(), QString::number(position));
    }
    EXPECT_EQ(LogLines(line), 0);
    slider->setSliderDown(false);
    EXPECT_EQ(LogLines(line), 1);
    EXPECT_EQ(LogLines(line + "6"), 1);
    EXPECT_EQ(Cues("slide.wav"), cues + 1);
    EXPECT_EQ(core.form.Slider1.value, 6);

    // A key acts at once.
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(LogLines(line + "11"), 1);
    EXPECT_EQ(value->text(), "11");

    core.form.Slider1.value = 20;
    window.SyncFromModel();
    EXPECT_EQ(value->text(), "20");
}

// The wheel turns the list only once the operator has put the focus on it;
// Down, Up, Home and End pick the next device the selection takes, as a pick
// does, and do nothing where there is none.
TEST_F(WindowInputTest, DeviceListWheelNeedsTheFocusAndKeysSkipRefusedDevices) {
    auto* list = shown.Widget<QComboBox>("Device");
    const auto& model = core.form.Device;
    const auto refused = [&](int row) {
        const std::string& item = model.items.at(static_cast<std::size_t>(row));
        return item.substr(item.find_first_not_of(' ')).starts_with("N/A");
    };
    const int flash = testing::DeviceListIndex(core, "AM29F040");
    const int eeprom = testing::DeviceListIndex(core, "X28C256");
    ASSERT_GT(eeprom, flash + 1);
    for (int row = flash + 1; row < eeprom; ++row) ASSERT_TRUE(refused(row)) << row;
    core.form.Device.SetListIndex(flash);
    window.SyncFromModel();

    const auto turn = [&](int angle) {
        const QPointF at = list->rect().center();
        QWheelEvent wheel(at, list->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
    };
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    shown.Widget<QPushButton>("TestHardware_button")->setFocus();
    turn(-120);
    EXPECT_EQ(model.listIndex, flash);
    EXPECT_EQ(list->currentIndex(), flash);
    EXPECT_FALSE(list->hasFocus());

    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    turn(-120);
    EXPECT_EQ(model.listIndex, eeprom);
    turn(120);
    EXPECT_EQ(model.listIndex, flash);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(model.listIndex, eeprom);
    EXPECT_EQ(list->currentIndex(), eeprom);
    EXPECT_TRUE(shown.Log().endsWith("Device Size is: 32768 Bytes, Initial VPP suggested: 5V"))
        << shown.Log().toStdString();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(model.listIndex, flash);

    int first = 0, last = static_cast<int>(model.items.size()) - 1;
    while (refused(first)) ++first;
    while (refused(last)) --last;
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(model.listIndex, last);
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(model.listIndex, first);
    const QString log = shown.Log();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(model.listIndex, first);
    EXPECT_EQ(shown.Log(), log);
}

// Return in the index's search field opens the first match; the topic's
// paragraphs come as one line each, its commands as lines of their own.
TEST(HelpViewerInput, ReturnOpensTheFirstMatchWithParagraphsWrappedOnce) {
    const auto manual = help::ParseHelp(testing::FileText(MOLTRIX_MANUAL), nullptr);
    ASSERT_TRUE(manual);
    HelpWindow w(*manual);
    w.show();
    w.ShowIndex("");
    QTest::keyClicks(w.SearchField(), "ppd");
    QTest::keyClick(w.SearchField(), Qt::Key_Return);
    const QStringList lines = w.TopicText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "Port access on Linux");
    // The paragraph's four lines in the manual are one line here.
    EXPECT_TRUE(lines[1].startsWith("The program uses the kernel's ppdev interface, /dev/parport0 and so on. "))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(" Otherwise load it once with")) << lines[1].toStdString();
    EXPECT_EQ(lines[2], "sudo modprobe ppdev");
    EXPECT_TRUE(lines.contains("sudo adduser $USER lp"));
}

}  // namespace
}  // namespace moltrix::app
