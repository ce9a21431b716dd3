#include "control_views.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextCursor>
#include <limits>

#include "layout.h"
#include "page_view.h"
#include "qt_text.h"
#include "widgets.h"

namespace moltrix::app {
namespace {

QColor ToQColor(const form::Color& c, const QPalette& base) {
    switch (c.kind) {
        case form::Color::Kind::Rgb: return QColor(c.r, c.g, c.b);
        // A lamp "off" takes the colour of the face it sits on, so its caption vanishes.
        case form::Color::Kind::ButtonFace: return base.color(QPalette::Button);
        case form::Color::Kind::ButtonText: return base.color(QPalette::ButtonText);
        case form::Color::Kind::Highlight3D: return base.color(QPalette::Light);
        case form::Color::Kind::WindowText: break;
    }
    return base.color(QPalette::WindowText);
}

}  // namespace

ControlView::ControlView(form::Control& model, QWidget* widget, ActionRunner& runner)
    : model_(model), widget_(widget), runner_(runner) {}

void ControlView::Sync() {
    QWidget* w = widget_;
    if (w->isEnabled() != model_.enabled) w->setEnabled(model_.enabled);
    if (w->isHidden() == model_.visible) w->setVisible(model_.visible);
    if (TextChanged(shownTip_, model_.toolTip)) w->setToolTip(Q(model_.toolTip));
    // Where a control sits is the window's layout's business: the one place
    // the program sets (the hex display frame's) is the design's own.
}

void ControlView::SyncForeColor(int paletteRole) {
    if (colorApplied_ && shownColor_ == model_.foreColor) return;
    QWidget* w = widget_;
    const QPalette base = w->parentWidget() ? w->parentWidget()->palette() : w->palette();
    QPalette pal = w->palette();
    const QColor c = ToQColor(model_.foreColor, base);
    const auto role = static_cast<QPalette::ColorRole>(paletteRole);
    pal.setColor(QPalette::Active, role, c);
    pal.setColor(QPalette::Inactive, role, c);
    w->setPalette(pal);
    shownColor_ = model_.foreColor;
    colorApplied_ = true;
}

namespace {

class FrameView : public ControlView {
public:
    FrameView(form::Control& m, QWidget* parent, ActionRunner& r) : ControlView(m, new QGroupBox(parent), r) {}
    void Sync() override {
        ControlView::Sync();
        if (TextChanged(shownCaption_, model_.caption))
            static_cast<QGroupBox*>(Widget())->setTitle(Q(model_.caption));
    }
};

class LabelView : public ControlView {
    Q_OBJECT
public:
    LabelView(form::Control& m, QWidget* parent, ActionRunner& r) : ControlView(m, new ClickableLabel(parent), r) {
        auto* label = static_cast<ClickableLabel*>(Widget());
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        connect(label, &ClickableLabel::clicked, this, &LabelView::label_clicked);
        connect(label, &ClickableLabel::doubleClicked, this, &LabelView::label_doubleClicked);
    }
    void Sync() override {
        ControlView::Sync();
        if (TextChanged(shownCaption_, model_.caption))
            static_cast<QLabel*>(Widget())->setText(Q(model_.caption));
        SyncForeColor(QPalette::WindowText);
    }
private slots:
    void label_clicked() { runner_.RunOperatorAction([this] { model_.Click(); }); }
    void label_doubleClicked() { runner_.RunOperatorAction([this] { model_.DblClick(); }); }
};

class ButtonView : public ControlView {
    Q_OBJECT
public:
    ButtonView(form::Control& m, QWidget* parent, ActionRunner& r) : ControlView(m, new QPushButton(parent), r) {
        connect(static_cast<QPushButton*>(Widget()), &QPushButton::clicked, this, &ButtonView::button_clicked);
    }
    void Sync() override {
        ControlView::Sync();
        if (TextChanged(shownCaption_, model_.caption))
            static_cast<QPushButton*>(Widget())->setText(Q(model_.caption));
        SyncForeColor(QPalette::ButtonText);
        if (!backApplied_ || shownBack_ != model_.backColor) {
            // The face lights up while the button's command runs (the verify).
            QPalette pal = Widget()->palette();
            const QPalette base = Widget()->parentWidget() ? Widget()->parentWidget()->palette() : pal;
            pal.setColor(QPalette::Button, ToQColor(model_.backColor, base));
            Widget()->setPalette(pal);
            shownBack_ = model_.backColor;
            backApplied_ = true;
        }
    }
private:
    form::Color shownBack_;
    bool backApplied_ = false;
private slots:
    void button_clicked() { runner_.RunOperatorAction([this] { model_.Click(); }); }
};

class CheckBoxView : public ControlView {
    Q_OBJECT
public:
    CheckBoxView(form::CheckBox& m, QWidget* parent, ActionRunner& r)
        : ControlView(m, new QCheckBox(parent), r), box_(m) {
        connect(static_cast<QCheckBox*>(Widget()), &QCheckBox::clicked, this, &CheckBoxView::checkBox_clicked);
    }
    void Sync() override {
        ControlView::Sync();
        auto* c = static_cast<QCheckBox*>(Widget());
        if (TextChanged(shownCaption_, model_.caption)) c->setText(Q(model_.caption));
        SyncForeColor(QPalette::WindowText);
        if (c->isChecked() != (box_.value != 0)) c->setChecked(box_.value != 0);
    }
private slots:
    void checkBox_clicked(bool checked) {
        runner_.RunOperatorAction([this, checked] { box_.SetValue(checked ? 1 : 0); });
    }
private:
    form::CheckBox& box_;
};

class OptionView : public ControlView {
    Q_OBJECT
public:
    OptionView(form::OptionButton& m, QWidget* parent, ActionRunner& r)
        : ControlView(m, new QRadioButton(parent), r), option_(m) {
        auto* radio = static_cast<QRadioButton*>(Widget());
        // The model keeps its group exclusive, and may clear every option of it.
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::clicked, this, &OptionView::option_clicked);
    }
    void Sync() override {
        ControlView::Sync();
        auto* radio = static_cast<QRadioButton*>(Widget());
        if (TextChanged(shownCaption_, model_.caption)) radio->setText(Q(model_.caption));
        SyncForeColor(QPalette::WindowText);
        if (radio->isChecked() != option_.value) radio->setChecked(option_.value);
    }
private slots:
    void option_clicked() {
        runner_.RunOperatorAction([this] {
            if (option_.group) option_.group->Click(option_.index);
        });
    }
private:
    form::OptionButton& option_;
};

// The drop-down list. A pick runs the model's handler, refused rows included
// (the handler undoes them); the keys and the wheel of the closed list step
// to the next row the handler takes, as a pick of that row would.
class ComboView : public ControlView {
    Q_OBJECT
public:
    ComboView(form::ComboBox& m, QWidget* parent, ActionRunner& r)
        : ControlView(m, new DropDownList(parent), r), combo_(m) {
        auto* box = static_cast<DropDownList*>(Widget());
        box->setMaxVisibleItems(20);
        connect(box, &QComboBox::activated, this, &ComboView::combo_activated);
        connect(box, &DropDownList::stepRequested, this, &ComboView::combo_stepRequested);
    }
    void Sync() override {
        ControlView::Sync();
        auto* box = static_cast<QComboBox*>(Widget());
        if (shownItems_ != combo_.items) {
            box->clear();
            for (const auto& item : combo_.items) box->addItem(Q(item));
            shownItems_ = combo_.items;
        }
        // With nothing picked the box shows the model's text as its prompt.
        const QString prompt = combo_.listIndex < 0 ? Q(combo_.text) : QString();
        if (box->placeholderText() != prompt) box->setPlaceholderText(prompt);
        if (box->currentIndex() != combo_.listIndex) box->setCurrentIndex(combo_.listIndex);
    }
private slots:
    void combo_activated(int index) { runner_.RunOperatorAction([this, index] { combo_.SetListIndex(index); }); }
    void combo_stepRequested(DropDownList::Step step) {
        const int rows = static_cast<int>(combo_.items.size());
        int row = -1;
        switch (step) {
            case DropDownList::Step::Previous: row = combo_.NextAccepted(combo_.listIndex, -1); break;
            case DropDownList::Step::Next: row = combo_.NextAccepted(combo_.listIndex, 1); break;
            case DropDownList::Step::First: row = combo_.NextAccepted(-1, 1); break;
            case DropDownList::Step::Last: row = combo_.NextAccepted(rows, -1); break;
        }
        if (row < 0 || row == combo_.listIndex) return;
        runner_.RunOperatorAction([this, row] { combo_.SetListIndex(row); });
    }
private:
    form::ComboBox& combo_;
    std::vector<std::string> shownItems_;
};

// A one-line text box. An editable one hands what the operator typed to the
// model's Enter handler; the box shows the model's text again whenever the
// program sets it (not while the operator types).
class LineTextView : public ControlView {
public:
    LineTextView(form::TextBox& m, QWidget* parent, ActionRunner& r) : ControlView(m, new QLineEdit(parent), r), text_(m) {
        auto* edit = static_cast<QLineEdit*>(Widget());
        edit->setReadOnly(!m.editable);
        QObject::connect(edit, &QLineEdit::returnPressed, edit, [this, edit] {
            const std::string typed = edit->text().toStdString();
            runner_.RunOperatorAction([this, typed] { text_.EnterKey(typed); });
        });
    }
    void Sync() override {
        ControlView::Sync();
        if (text_.generation == shownGeneration_ && text_.text == shownText_) return;
        shownGeneration_ = text_.generation;
        shownText_ = text_.text;
        static_cast<QLineEdit*>(Widget())->setText(Q(text_.text));
    }
private:
    form::TextBox& text_;
    std::uint64_t shownGeneration_ = ~std::uint64_t{0};
    std::string shownText_;
};

// A multi-line text box. Text that only grew since the last sync is appended
// (and scrolled into view), so a long log costs only its new lines; a whole
// replacement is shown from its top.
class MultiTextView : public ControlView {
    Q_OBJECT
public:
    MultiTextView(form::TextBox& m, TextView* widget, ActionRunner& r) : ControlView(m, widget, r), text_(m) {
        auto* view = static_cast<TextView*>(Widget());
        view->setReadOnly(true);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        view->setUndoRedoEnabled(false);
        connect(view, &TextView::doubleClicked, this, &MultiTextView::textView_doubleClicked);
    }
    void Sync() override {
        ControlView::Sync();
        auto* view = static_cast<TextView*>(Widget());
        const std::string& text = text_.text;
        if (generation_ == text_.generation && shownBytes_ == text.size()) return;
        if (generation_ == text_.generation && shownBytes_ < text.size()) {
            QTextCursor end(view->document());
            end.movePosition(QTextCursor::End);
            end.insertText(ForDisplay(QString::fromUtf8(text.data() + shownBytes_,
                                                        static_cast<qsizetype>(text.size() - shownBytes_))));
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        } else {
            view->setPlainText(ForDisplay(Q(text)));
        }
        generation_ = text_.generation;
        shownBytes_ = text.size();
    }
private slots:
    void textView_doubleClicked() { runner_.RunOperatorAction([this] { model_.DblClick(); }); }
private:
    static QString ForDisplay(QString q) {
        q.remove(QLatin1Char('\r'));
        return q;
    }
    form::TextBox& text_;
    // No text box reaches this generation, so the first sync shows the whole text.
    std::uint64_t generation_ = std::numeric_limits<std::uint64_t>::max();
    std::size_t shownBytes_ = 0;
};

// A scroll bar or slider. With tracking off its handler runs once a drag is
// let go, and at once for keys and clicks on the groove. A slider may show its
// position in a label beside it, which follows the thumb while it is dragged.
class RangeView : public ControlView {
    Q_OBJECT
public:
    RangeView(form::RangeControl& m, QAbstractSlider* slider, ActionRunner& r, QLabel* position = nullptr)
        : ControlView(m, slider, r), range_(m), position_(position) {
        connect(slider, &QAbstractSlider::valueChanged, this, &RangeView::slider_valueChanged);
        if (position_) connect(slider, &QAbstractSlider::sliderMoved, this, &RangeView::slider_sliderMoved);
    }
    void Sync() override {
        ControlView::Sync();
        auto* s = static_cast<QAbstractSlider*>(Widget());
        {
            // The slider's own signals would report the model's position back as an operator action.
            const QSignalBlocker quiet(s);
            if (s->minimum() != range_.min || s->maximum() != range_.max) s->setRange(range_.min, range_.max);
            if (s->singleStep() != range_.smallChange) s->setSingleStep(range_.smallChange);
            if (s->pageStep() != range_.largeChange) s->setPageStep(range_.largeChange);
            if (s->value() != range_.value) s->setValue(range_.value);
        }
        if (position_) {
            if (position_->isEnabled() != s->isEnabled()) position_->setEnabled(s->isEnabled());
            if (position_->isHidden() != s->isHidden()) position_->setVisible(!s->isHidden());
            ShowPosition(s->isSliderDown() ? s->sliderPosition() : range_.value);
        }
    }
private slots:
    void slider_valueChanged(int value) {
        runner_.RunOperatorAction([this, value] { range_.SetValue(value); });
    }
    void slider_sliderMoved(int position) { ShowPosition(position); }
private:
    void ShowPosition(int position) {
        const QString text = QString::number(position);
        if (position_->text() != text) position_->setText(text);
    }
    form::RangeControl& range_;
    QLabel* position_;  // a sibling of the slider, owned by their parent
};

class ProgressView : public ControlView {
public:
    ProgressView(form::ProgressBar& m, QWidget* parent, ActionRunner& r)
        : ControlView(m, new QProgressBar(parent), r), bar_(m) {
        static_cast<QProgressBar*>(Widget())->setTextVisible(false);
    }
    void Sync() override {
        ControlView::Sync();
        auto* b = static_cast<QProgressBar*>(Widget());
        const int lo = static_cast<int>(bar_.min), hi = static_cast<int>(bar_.max);
        if (b->minimum() != lo || b->maximum() != hi) b->setRange(lo, hi);
        const int v = static_cast<int>(bar_.value);
        if (b->value() != v) b->setValue(v);
    }
private:
    form::ProgressBar& bar_;
};

}  // namespace

std::unique_ptr<ControlView> MakeControlView(form::Control& c, QWidget* parent, ActionRunner& runner) {
    using form::Kind;
    switch (c.kind) {
        case Kind::Frame: return std::make_unique<FrameView>(c, parent, runner);
        case Kind::Label: return std::make_unique<LabelView>(c, parent, runner);
        case Kind::Button: return std::make_unique<ButtonView>(c, parent, runner);
        case Kind::CheckBox:
            return std::make_unique<CheckBoxView>(dynamic_cast<form::CheckBox&>(c), parent, runner);
        case Kind::Option:
            return std::make_unique<OptionView>(dynamic_cast<form::OptionButton&>(c), parent, runner);
        case Kind::ComboBox:
            return std::make_unique<ComboView>(dynamic_cast<form::ComboBox&>(c), parent, runner);
        case Kind::TextBox: {
            auto& t = dynamic_cast<form::TextBox&>(c);
            if (t.multiLine && IsFixedPitchPage(t.name))
                return std::make_unique<MultiTextView>(t, new PageView(kPageColumns, kPageLines, parent), runner);
            if (t.multiLine) return std::make_unique<MultiTextView>(t, new TextView(parent), runner);
            return std::make_unique<LineTextView>(t, parent, runner);
        }
        case Kind::ScrollBar: {
            // A page of the device view costs a chip read: while the operator
            // drags the thumb nothing runs, the page is drawn once it is let
            // go. Arrow clicks, page clicks and keys still act at once.
            auto* bar = new QScrollBar(Qt::Vertical, parent);
            bar->setTracking(false);
            return std::make_unique<RangeView>(dynamic_cast<form::RangeControl&>(c), bar, runner);
        }
        case Kind::Slider: {
            // The handler logs and sounds a cue: it runs once a drag is let
            // go, not for every position passed; the label beside the slider
            // shows where the thumb is meanwhile.
            auto* slider = new QSlider(Qt::Horizontal, parent);
            slider->setTickPosition(QSlider::TicksBelow);
            slider->setTracking(false);
            auto* position = new QLabel(parent);
            position->setObjectName(Q(c.name + "Value"));
            return std::make_unique<RangeView>(dynamic_cast<form::RangeControl&>(c), slider, runner, position);
        }
        case Kind::ProgressBar:
            return std::make_unique<ProgressView>(dynamic_cast<form::ProgressBar&>(c), parent, runner);
        case Kind::StatusBar:
        case Kind::Toolbar:
        case Kind::Timer: break;
    }
    return nullptr;
}

}  // namespace moltrix::app

#include "control_views.moc"
