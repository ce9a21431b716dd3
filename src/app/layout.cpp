#include "layout.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <algorithm>
#include <utility>
#include <vector>

namespace moltrix::app {
namespace {

// The controls by name; a name the window does not have is a fault of the
// arrangement below, found by the window tests.
class Controls {
public:
    explicit Controls(const std::map<std::string, QWidget*>& widgets) : widgets_(widgets) {}
    QWidget* operator[](const std::string& name) const {
        const auto it = widgets_.find(name);
        return it == widgets_.end() ? nullptr : it->second;
    }

private:
    const std::map<std::string, QWidget*>& widgets_;
};

// A hidden control keeps its room, so nothing beside it moves when the
// program shows or hides it (the option frames of a selected device).
void KeepRoomWhenHidden(QWidget* w) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

void Add(QBoxLayout* layout, QWidget* w, int stretch = 0) {
    if (!w) return;
    KeepRoomWhenHidden(w);
    layout->addWidget(w, stretch);
}

void AddAt(QGridLayout* grid, QWidget* w, int row, int column) {
    if (!w) return;
    KeepRoomWhenHidden(w);
    grid->addWidget(w, row, column);
}

// A frame's own layout: below its caption, inside its border.
template <class Layout>
Layout* Inside(QWidget* frame) {
    auto* layout = new Layout(frame);
    // Tight, as the design has them: the right column must fit a 960x540
    // desktop (1920x1080 at twice the scale).
    layout->setContentsMargins(4, 2, 4, 3);
    layout->setSpacing(3);
    return layout;
}

// A text that may grow long (a file's path, a status) takes the room it is
// given instead of widening the window.
void Elastic(QWidget* w, int minimumCharacters) {
    if (!w) return;
    QSizePolicy policy = w->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    w->setSizePolicy(policy);
    w->setMinimumWidth(w->fontMetrics().averageCharWidth() * minimumCharacters);
}

QLayout* LeftColumn(const Controls& c) {
    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    auto* files = new QGridLayout;
    files->setVerticalSpacing(2);
    files->setColumnStretch(1, 1);
    const char* rows[2][3] = {{"FileNameCodeLabel", "FileNameCodeText", "FileNameCodeSize"},
                              {"FileNameDataLabel", "FileNameDataText", "FileNameDataSize"}};
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) AddAt(files, c[rows[r][col]], r, col);
    Elastic(c["FileNameCodeText"], 16);
    Elastic(c["FileNameDataText"], 16);
    column->addLayout(files);

    if (QWidget* frame = c["Frame3"]) {
        auto* inside = Inside<QHBoxLayout>(frame);
        inside->setSpacing(1);
        Add(inside, c["BufferDisplay"], 1);
        Add(inside, c["VScroll1"]);
        Add(column, frame, 3);
    }
    if (QWidget* frame = c["Frame6"]) {
        if (QWidget* log = c["SystemLog"]) {
            // At the least, three lines of the log.
            const QFontMetrics m(log->font());
            log->setMinimumHeight(3 * m.lineSpacing() + 16);
        }
        Add(Inside<QVBoxLayout>(frame), c["SystemLog"]);
        Add(column, frame, 2);
    }
    auto* strip = new QHBoxLayout;
    Add(strip, c["ProgressBar1"], 1);
    for (const char* lamp : {"Ready_label", "Error_label", "Program_label", "DataFlow_label"}) {
        if (auto* label = qobject_cast<QLabel*>(c[lamp])) {
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("NotReady")) + 8);
            label->setAlignment(Qt::AlignCenter);
        }
        Add(strip, c[lamp]);
    }
    column->addLayout(strip);
    return column;
}

QLayout* RightColumn(const Controls& c) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    if (QWidget* frame = c["Frame2"]) {
        auto* inside = Inside<QVBoxLayout>(frame);
        if (auto* list = qobject_cast<QComboBox*>(c["Device"])) {
            // The list's items are long and padded with blanks; the box shows
            // as much of them as the column has room for.
            list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            list->setMinimumContentsLength(20);
        }
        Add(inside, c["Device"]);
        Add(inside, c["PleaseSelect"]);
        Add(column, frame);
    }
    if (QWidget* frame = c["Frame4"]) {
        auto* inside = Inside<QHBoxLayout>(frame);
        for (const char* name : {"LPTSelection(0)", "LPTSelection(1)", "LPTSelection(2)"}) Add(inside, c[name]);
        if (auto* box = qobject_cast<QLineEdit*>(c["PortSelected"])) {
            box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("FFFFh")) + 12);
            box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("/dev/parport0")) + 12);
        }
        Add(inside, c["PortSelected"], 1);
        Add(column, frame);
    }
    if (QWidget* frame = c["Frame9"]) {
        auto* inside = Inside<QVBoxLayout>(frame);
        Add(inside, c["MoltrixHardwareFound"]);
        auto* row = new QHBoxLayout;
        for (const char* name : {"TestHardware_button", "EraseFlash_button", "Show_button"}) Add(row, c[name]);
        inside->addLayout(row);
        Add(column, frame);
    }

    auto* buttons = new QGridLayout;
    buttons->setSpacing(2);
    const char* grid[2][3] = {{"Read_button", "Blank_button", "Display_button"},
                              {"Program_button", "Verify_button", "Erase_button"}};
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) AddAt(buttons, c[grid[r][col]], r, col);
    AddAt(buttons, c["VerifyButton"], 2, 0);
    AddAt(buttons, c["Command1"], 2, 1);
    if (QWidget* frame = c["Frame8"]) {
        auto* inside = Inside<QHBoxLayout>(frame);
        Add(inside, c["CheckCode"]);
        Add(inside, c["CheckData"]);
        AddAt(buttons, frame, 2, 2);
    }
    column->addLayout(buttons);

    const std::pair<const char*, std::vector<const char*>> rows[] = {
        {"FrameVoltageSelection", {"Voltage_button(0)", "Voltage_button(1)", "Voltage_button(2)", "Voltage_button(3)"}},
        {"Frame7", {"HiLow_button(0)", "HiLow_button(1)", "HiLow_button(2)"}},
    };
    for (const auto& [frameName, names] : rows)
        if (QWidget* frame = c[frameName]) {
            auto* inside = Inside<QHBoxLayout>(frame);
            for (const char* name : names) Add(inside, c[name]);
            inside->addStretch();
            Add(column, frame);
        }
    if (QWidget* frame = c["Frame5"]) {
        auto* inside = Inside<QVBoxLayout>(frame);
        Add(inside, c["CheckBlankPriorProgramming"]);
        Add(inside, c["VerifyAfterProgramming"]);
        Add(column, frame);
    }
    auto* speed = new QHBoxLayout;
    Add(speed, c["SpeedLabel"]);
    Add(speed, c["Slider1"], 1);
    Add(speed, c["Slider1Value"]);
    column->addLayout(speed);
    column->addStretch(1);
    return column;
}

// The two columns. On a screen too small for all of them at their least
// (1280x1024 at twice the scale is 640x512), the window still fits the
// screen and the columns scroll; otherwise no scroll bar shows.
class Body : public QScrollArea {
public:
    Body(QWidget* parent, QWidget* toolbar, QWidget* statusBar)
        : QScrollArea(parent), toolbar_(toolbar), statusBar_(statusBar) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
    }
    QSize minimumSizeHint() const override {
        const QSize least = widget() ? widget()->minimumSizeHint() : QSize();
        const QScreen* s = screen();
        const auto* top = qobject_cast<const QMainWindow*>(window());
        if (!s || !top || !widget()) return least;
        // Room on the screen less what the window needs around the columns:
        // its frame (a title bar's worth before one is known), menu bar,
        // toolbar and status bar.
        QSize frame = top->frameGeometry().size() - top->size();
        if (frame.height() <= 0) frame = QSize(8, 40);
        const int bars = top->menuBar()->sizeHint().height() + toolbar_->sizeHint().height() +
                         statusBar_->sizeHint().height();
        const QSize room = s->availableGeometry().size() - frame - QSize(0, bars);
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QSize fit = least.boundedTo(room).expandedTo(QSize(200, 150));
        // The scroll bar of one direction takes room from the other.
        if (fit.height() < least.height()) fit.rwidth() = std::min(least.width() + bar, std::max(room.width(), fit.width()));
        if (fit.width() < least.width()) fit.rheight() = std::min(least.height() + bar, std::max(room.height(), fit.height()));
        return fit;
    }
    QSize sizeHint() const override { return widget() ? widget()->sizeHint() : QScrollArea::sizeHint(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The columns' least size changes as their controls are polished,
        // fonts arrive and captions change: the window's least size follows.
        if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }

private:
    QWidget* toolbar_;
    QWidget* statusBar_;
};

}  // namespace

void ArrangeMainWindow(QWidget* client, QWidget* toolbar, QWidget* statusBar,
                       const std::map<std::string, QWidget*>& controls) {
    const Controls c(controls);
    auto* window = new QVBoxLayout(client);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(toolbar);
    auto* body = new Body(client, toolbar, statusBar);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("Columns"));
    // The controls were made as children of the client area; the columns
    // take them over as the layouts below add them.
    auto* columns = new QHBoxLayout(content);
    const int gap = client->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    columns->setContentsMargins(gap, gap / 2, gap, gap / 2);
    columns->setSpacing(2 * gap);
    columns->addLayout(LeftColumn(c), 1);
    columns->addLayout(RightColumn(c), 0);
    body->setWidget(content);
    window->addWidget(body, 1);
    window->addWidget(statusBar);
}

bool IsFixedPitchPage(const std::string& controlName) { return controlName == "BufferDisplay"; }

}  // namespace moltrix::app
