// The main window's layout on today's screens: run once per scale factor and
// fixed-pitch font (CTest sets QT_SCALE_FACTOR, the font through fontconfig,
// and an offscreen screen of 1920x1080 or 1280x1024), each time at the
// window's smallest size, at 1280x1024 and filling the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <cstdlib>
#include <vector>

#include "buffers/hex_page.h"
#include "../window_probe.h"

namespace moltrix::app {
namespace {

class WindowLayoutTest : public ::testing::Test, protected WindowOnFakes {
protected:
    WindowLayoutTest() {
        core.Form_Load();
        // A device selected (its option frames shown) and a whole page on display.
        core.form.Device.SetListIndex(testing::DeviceListIndex(core, "27C256"));
        std::vector<std::uint8_t> page(256, 'W');
        core.form.BufferDisplay.SetText(
            buffers::FormatLines(0xFFFF00, page, 16, buffers::PrintRule::BlankToLowerZ()));
        core.log.AddLogLine("a line");
        window.SyncFromModel();
        window.show();
    }

    // Lays the window out at `size` (or its smallest, for an empty size).
    void ResizeTo(QSize size) {
        const QSize wanted = (size.isEmpty() ? QSize(1, 1) : size).expandedTo(window.minimumSizeHint());
        window.resize(wanted);
        // The platform answers a resize with events of its own; the layouts follow them.
        (void)QTest::qWaitFor([&] { return window.size() == wanted; }, 2000);
        window.centralWidget()->layout()->activate();
        QTest::qWait(20);
    }

    std::vector<QWidget*> Controls() {
        std::vector<QWidget*> all;
        for (form::Control* c : core.form.controls)
            if (QWidget* w = window.ControlWidget(c->name)) all.push_back(w);
        if (auto* value = window.findChild<QWidget*>(QStringLiteral("Slider1Value"))) all.push_back(value);
        return all;
    }

    // No control covers another, lies outside its parent or is smaller than it
    // can be shown whole; a control in a frame keeps clear of its caption.
    void ExpectNothingOverlapsOrIsCut(const std::string& where) {
        const std::vector<QWidget*> all = Controls();
        QWidget* client = window.centralWidget();
        const QRect edges(0, window.findChild<QToolBar*>()->geometry().bottom() + 1, client->width(),
                          window.findChild<QStatusBar*>()->geometry().top() -
                              window.findChild<QToolBar*>()->geometry().bottom() - 1);
        auto* body = window.findChild<QScrollArea*>();
        ASSERT_NE(body, nullptr);
        EXPECT_TRUE(edges.contains(body->geometry())) << "the columns lie on a bar " << where;
        for (QWidget* w : all) {
            if (!w->isVisible()) continue;
            const std::string name = w->objectName().toStdString() + " " + where;
            const QRect g = w->geometry();
            EXPECT_TRUE(w->parentWidget()->rect().contains(g)) << name;
            // What the layout grants a widget at the least: its own minimum where one is set.
            const QSize hint = w->minimumSizeHint();
            const QSize least(w->minimumWidth() > 0 ? w->minimumWidth() : hint.width(),
                              w->minimumHeight() > 0 ? w->minimumHeight() : hint.height());
            if (w->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
                EXPECT_GE(g.width(), least.width()) << name;
            }
            EXPECT_GE(g.height(), least.height()) << name;
            for (QWidget* other : all) {
                if (other == w || !other->isVisible() || other->parentWidget() != w->parentWidget()) continue;
                EXPECT_FALSE(g.intersects(other->geometry())) << name << " covers " << other->objectName().toStdString();
            }
            if (auto* frame = qobject_cast<QGroupBox*>(w->parentWidget())) {
                QStyleOptionGroupBox option;
                option.initFrom(frame);
                option.text = frame->title();
                option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
                const QRect caption =
                    frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
                if (!frame->title().isEmpty()) {
                    EXPECT_GT(g.top(), caption.bottom()) << name << " under the caption";
                }
            }
        }
    }

    // The hex display shows its 16 lines whole, the last one and the ASCII
    // column included, in the desktop's fixed-pitch font.
    void ExpectAWholePage(const std::string& where) {
        auto* page = qobject_cast<QPlainTextEdit*>(window.ControlWidget("BufferDisplay"));
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->document()->blockCount(), 16);
        QTextCursor first(page->document()->firstBlock());
        QTextCursor last(page->document()->lastBlock());
        last.movePosition(QTextCursor::EndOfBlock);
        const QRect top = page->cursorRect(first), bottom = page->cursorRect(last);
        EXPECT_GE(top.top(), 0) << where;
        EXPECT_LE(bottom.bottom(), page->viewport()->height()) << where << ": line 16 cut";
        EXPECT_LE(bottom.right(), page->viewport()->width()) << where << ": ASCII column cut";
    }

    int LogLinesShown() {
        auto* log = qobject_cast<QPlainTextEdit*>(window.ControlWidget("SystemLog"));
        return log->viewport()->height() / log->fontMetrics().lineSpacing();
    }

};

TEST_F(WindowLayoutTest, SmallestAndFullScreenWindowsShowEveryControlWholeAndAWholePage) {
    const char* font = std::getenv("MOLTRIX_FIXED_FONT");
    if (font) {
        const QString family = QFontInfo(window.ControlWidget("BufferDisplay")->font()).family();
        ASSERT_EQ(family.toStdString(), font) << "the fixed-pitch font the run is set up for is not in use";
    }
    const QRect room = window.screen()->availableGeometry();
    const std::string on = " on " + std::to_string(room.width()) + "x" + std::to_string(room.height());

    ResizeTo({});
    const QSize smallest = window.frameGeometry().size();
    // The smallest window fits the screen, the columns scrolling where they must.
    EXPECT_LE(smallest.width(), room.width()) << on;
    EXPECT_LE(smallest.height(), room.height()) << on;
    ExpectNothingOverlapsOrIsCut("at the smallest size" + on);
    ExpectAWholePage("at the smallest size" + on);
    const int logLinesSmallest = LogLinesShown();
    const int pagePixelsSmallest = QFontInfo(window.ControlWidget("BufferDisplay")->font()).pixelSize();

    // A 1280x1024 window (in the screen's own pixels) and one filling the screen.
    const qreal scale = window.devicePixelRatio();
    for (const QSize size : {QSize(qRound(1280 / scale), qRound(1024 / scale)), room.size()}) {
        if (size.width() > room.width() || size.height() > room.height()) continue;
        const std::string where = " at " + std::to_string(size.width()) + "x" + std::to_string(size.height()) + on;
        window.move(room.topLeft());
        ResizeTo(size);
        ExpectNothingOverlapsOrIsCut(where);
        ExpectAWholePage(where);
        if (size.height() < smallest.height() + 100) continue;  // little room to grow
        EXPECT_GT(LogLinesShown(), logLinesSmallest) << where;
        EXPECT_GT(QFontInfo(window.ControlWidget("BufferDisplay")->font()).pixelSize(), pagePixelsSmallest)
            << where << ": the page did not grow";
    }
    if (const char* pictures = std::getenv("MOLTRIX_LAYOUT_PICTURES")) window.grab().save(QString::fromUtf8(pictures));
}

}  // namespace
}  // namespace moltrix::app

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
