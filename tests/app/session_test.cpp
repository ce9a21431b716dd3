// One operator's session through the real widgets of the window, on a
// simulated board: the chip's contents are the truth. Also the help viewer
// and the About box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <random>

#include "about_dialog.h"
#include "help_window.h"
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

class SessionTest : public ::testing::Test {
protected:
    SessionTest()
        : board(ports.AttachBoard(0x378, 6)),
          services{ports, clock, sound, settings, dialogs, help, launcher, refresh,
                   {dir.path(), dir.path(), dir.path(), {}, {}}},
          core(services), window(core) {
        refresh.SetTarget(&window);
    }
    ~SessionTest() override { refresh.SetTarget(nullptr); }

    template <class W>
    W* Widget(const std::string& name) {
        return Shown{window}.Widget<W>(name);
    }
    QString Log() { return Shown{window}.Log(); }

    testing::TempDir dir;
    sim::SimulatedPorts ports;
    sim::Board& board;
    sim::SimClock clock{ports.Time()};
    testing::FakeSound sound;
    testing::MemorySettings settings;
    testing::ScriptedDialogs dialogs;
    testing::FakeHelp help;
    testing::FakeLauncher launcher;
    QtUiRefresh refresh;  // the program's own throttle
    platform::Services services;
    Programmer core;
    MainWindow window;
};

TEST_F(SessionTest, SelectOpenProgramAndVerifyAnEprom) {
    window.Start();  // the probe, with the socket still empty
    window.show();
    ASSERT_NE(sim::InsertDevice(board, "27C256", 1, nullptr, sim::TimingCorner::Typical), nullptr);

    auto* device = Widget<QComboBox>("Device");
    const int row = device->findText(QStringLiteral(" 27C256 "), Qt::MatchContains);
    ASSERT_GE(row, 0);
    device->setCurrentIndex(row);
    emit device->activated(row);
    EXPECT_TRUE(Log().contains("Device Eprom 27C256 was Selected")) << Log().toStdString();

    std::string image(32768, '\0');
    std::mt19937 gen(21);
    for (char& c : image) c = static_cast<char>(gen());
    const auto file = dir.path() / "image.bin";
    std::ofstream(file, std::ios::binary) << image;
    dialogs.fileAnswers = {file.string()};
    QTest::mouseClick(Widget<QLabel>("FileNameCodeText"), Qt::LeftButton);
    EXPECT_EQ(Widget<QLabel>("FileNameCodeText")->text(), QString::fromStdString(file.string()).toUpper());

    QTest::mouseClick(Widget<QCheckBox>("VerifyAfterProgramming"), Qt::LeftButton);
    ASSERT_EQ(core.form.VerifyAfterProgramming.value, 1);
    dialogs.messageAnswers = {platform::MsgResult::Ok};  // the safety question
    QTest::mouseClick(Widget<QPushButton>("Program_button"), Qt::LeftButton);

    const auto& chip = board.chip()->Memory();
    EXPECT_TRUE(std::equal(chip.begin(), chip.end(), image.begin(), [](auto a, char b) {
        return a == static_cast<std::uint8_t>(b);
    }));
    bool asked = false;
    for (const auto& d : dialogs.shown) asked = asked || d.text == "Program the Device?";
    EXPECT_TRUE(asked);
    EXPECT_TRUE(Log().contains("Programming Device Successfull")) << Log().toStdString();
    EXPECT_TRUE(Log().contains("Device Contents MATCHES with Buffer Contents"));
    EXPECT_EQ(core.outcome.Last(), feedback::Outcome::Ok);
}

TEST_F(SessionTest, AboutBoxFromTheHelpMenu) {
    window.Start();
    QString title, version;
    QTimer::singleShot(0, &window, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        version = box->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    window.MenuAction("mnuHelpAbout")->trigger();
    EXPECT_EQ(title, "About VARNOK MOLTRIX PROGRAM");
    EXPECT_EQ(version, "Version " MOLTRIX_VERSION);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "closed by OK";
}

TEST(HelpViewer, OpensTheManualAtItsContentsOrItsIndex) {
    QtHelpViewer viewer;
    ASSERT_EQ(viewer.Show(MOLTRIX_MANUAL, platform::kHelpContents, ""), "");
    HelpWindow* w = viewer.Window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->Tabs()->currentIndex(), 0);
    EXPECT_TRUE(w->TopicText().startsWith("MOLTRIX operator's manual")) << w->TopicText().toStdString();

    ASSERT_EQ(viewer.Show(MOLTRIX_MANUAL, platform::kHelpPartialKey, ""), "");
    w = viewer.Window();
    EXPECT_EQ(w->Tabs()->currentIndex(), 1);
    EXPECT_EQ(w->SearchField()->text(), "");
    const int all = w->IndexList()->count();
    QTest::keyClicks(w->SearchField(), "lp g");
    ASSERT_GE(w->IndexList()->count(), 1);
    EXPECT_LT(w->IndexList()->count(), all);
    EXPECT_EQ(w->IndexList()->item(0)->text(), "lp group");
    QTest::mouseClick(w->IndexList()->viewport(), Qt::LeftButton, {},
                      w->IndexList()->visualItemRect(w->IndexList()->item(0)).center());
    EXPECT_TRUE(w->TopicText().startsWith("Port access on Linux"));
    w->close();

    testing::TempDir dir;
    const auto bad = dir.path() / "moltrix5.hlp";
    std::ofstream(bad) << "not a manual\n";
    EXPECT_EQ(viewer.Show(bad, platform::kHelpContents, ""),
              "The help file " + bad.string() + " cannot be read: line 1, not a MOLTRIX help file.");
}

}  // namespace
}  // namespace moltrix::app
