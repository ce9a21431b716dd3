#pragma once
// The observable state of the window's controls, as plain data. The core changes
// these; the Qt window only projects them. Setting a selection, a mark or a
// position from the program runs the control's handler, as an operator action would.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace moltrix::form {

struct Color {
    enum class Kind : std::uint8_t { Rgb, ButtonFace, ButtonText, WindowText, Highlight3D };
    Kind kind = Kind::WindowText;
    std::uint8_t r = 0, g = 0, b = 0;

    static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Color{Kind::Rgb, r, g, b};
    }
    static constexpr Color ButtonFace() { return Color{Kind::ButtonFace, 0, 0, 0}; }
    static constexpr Color ButtonText() { return Color{Kind::ButtonText, 0, 0, 0}; }
    static constexpr Color WindowText() { return Color{Kind::WindowText, 0, 0, 0}; }
    // The system's 3-D highlight: a button that marks work in progress.
    static constexpr Color Highlight3D() { return Color{Kind::Highlight3D, 0, 0, 0}; }
    friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kRed = Color::Rgb(255, 0, 0);
inline constexpr Color kGreen = Color::Rgb(0, 128, 0);

enum class Kind : std::uint8_t {
    Frame, Label, Button, CheckBox, Option, ComboBox, TextBox, ScrollBar, Slider,
    ProgressBar, StatusBar, Toolbar, Timer
};

struct Control {
    Control(std::string name_, Kind kind_, std::string parent_ = {}, std::string caption_ = {},
            std::string toolTip_ = {})
        : name(std::move(name_)), kind(kind_), parent(std::move(parent_)),
          caption(std::move(caption_)), toolTip(std::move(toolTip_)) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    std::string name;     // as the program names it, e.g. "Voltage_button(1)"
    Kind kind;
    std::string parent;   // name of the frame that holds it, empty for the window
    std::string caption;  // caption of labels, buttons, frames, check boxes, options
    std::string toolTip;
    bool enabled = true;
    bool visible = true;
    Color foreColor = Color::WindowText();
    Color backColor = Color::ButtonFace();  // shown by buttons
    // Placement in pixels, for the few controls the program itself moves;
    // a width of 0 leaves the control where the window design puts it.
    struct Rect {
        int left = 0, top = 0, width = 0, height = 0;
    } rect;

    // Operator actions. A disabled or hidden control takes no action.
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    void Click() {
        if (enabled && visible && onClick) onClick();
    }
    void DblClick() {
        if (enabled && visible && onDblClick) onDblClick();
    }
};

using Label = Control;
using Button = Control;
using Frame = Control;

struct CheckBox : Control {
    using Control::Control;
    int value = 0;  // 0 unchecked, 1 checked
    // Setting the state runs the click handler when the state changes.
    void SetValue(int v) {
        if (v == value) return;
        value = v;
        if (onClick) onClick();
    }
};

struct TextBox : Control {
    using Control::Control;
    std::string text;
    // Counts whole replacements of the text, so a view that only appends
    // what is new knows when it must start again.
    std::uint64_t generation = 0;
    bool multiLine = false;
    void SetText(std::string t) {
        text = std::move(t);
        ++generation;
        if (onChange) onChange();
    }
    void Append(const std::string& more) {
        text += more;
        if (onChange) onChange();
    }
    std::function<void()> onChange;
    // A box the operator may type into: Enter hands over what was typed; the
    // handler decides what the box shows then.
    bool editable = false;
    std::function<void(const std::string&)> onEnterKey;
    void EnterKey(const std::string& typed) {
        if (editable && enabled && visible && onEnterKey) onEnterKey(typed);
    }
};

struct ComboBox : Control {
    using Control::Control;
    std::vector<std::string> items;
    int listIndex = -1;
    std::string text;  // what the box shows: the selected item, or the prompt
    // Items whose text, leading blanks aside, starts with this are shown but
    // refused by the click handler; empty: every item is taken.
    std::string refusedPrefix;
    // Setting the selection from the program runs the click handler, as a pick does.
    void SetListIndex(int i) {
        if (i < -1 || i >= static_cast<int>(items.size())) return;
        listIndex = i;
        if (i >= 0) text = items[static_cast<std::size_t>(i)];
        if (onClick) onClick();
    }
    bool Accepts(int i) const {
        if (i < 0 || i >= static_cast<int>(items.size())) return false;
        if (refusedPrefix.empty()) return true;
        const std::string& item = items[static_cast<std::size_t>(i)];
        const std::size_t first = item.find_first_not_of(' ');
        return first == std::string::npos || item.compare(first, refusedPrefix.size(), refusedPrefix) != 0;
    }
    // The nearest item the handler takes after `from` (step 1) or before it
    // (step -1); `from` may lie one outside the list. -1 when there is none.
    int NextAccepted(int from, int step) const {
        for (int i = from + step; i >= 0 && i < static_cast<int>(items.size()); i += step)
            if (Accepts(i)) return i;
        return -1;
    }
};

struct OptionGroup;

// One option button of a group; marking one clears the others of its group.
struct OptionButton : Control {
    using Control::Control;
    bool value = false;
    OptionGroup* group = nullptr;  // the group it belongs to, and its index there
    int index = 0;
};

struct OptionGroup {
    std::vector<OptionButton*> items;
    std::function<void(int)> onClick;
    // Marking an option (by the operator or the program) clears the others and
    // runs the group's handler; clearing one runs nothing.
    void SetValue(int index, bool v) {
        if (index < 0 || index >= static_cast<int>(items.size())) return;
        OptionButton& o = *items[static_cast<std::size_t>(index)];
        if (!v) {
            o.value = false;
            return;
        }
        if (o.value) return;
        for (auto* other : items) other->value = false;
        o.value = true;
        if (onClick) onClick(index);
    }
    bool Value(int index) const { return items.at(static_cast<std::size_t>(index))->value; }
    OptionButton& operator[](int index) { return *items.at(static_cast<std::size_t>(index)); }
    // An operator click on an enabled option.
    void Click(int index) {
        auto& o = (*this)[index];
        if (o.enabled && o.visible) SetValue(index, true);
    }
};

struct RangeControl : Control {
    using Control::Control;
    int min = 0, max = 0, value = 0;
    int smallChange = 1, largeChange = 1;
    std::function<void()> onChange;
    // A new position runs the change handler when the position changes.
    void SetValue(int v) {
        if (v < min) v = min;
        if (v > max) v = max;
        if (v == value) return;
        value = v;
        if (onChange) onChange();
    }
    // A maximum below the position pulls the position down with it.
    void SetMax(int m) {
        max = m;
        if (value > max) SetValue(max);
    }
};
using ScrollBar = RangeControl;
using Slider = RangeControl;

struct ProgressBar : Control {
    using Control::Control;
    double min = 0, max = 100, value = 0;
};

struct StatusBar : Control {
    using Control::Control;
    std::string statusText;  // the text area; date and time areas are the toolkit's
    // A fourth area, after those three, naming the simulated bench the program
    // runs on ("Simulated bench: 6@378:27C256"); empty, and not shown, on real ports.
    std::string benchText;
};

struct ToolButton {
    std::string key, caption, toolTip;
    bool enabled = true, visible = true, separator = false;
};

struct Toolbar : Control {
    using Control::Control;
    std::vector<ToolButton> buttons;  // position 1 is buttons[0]
    std::function<void(const std::string& key)> onButtonClick;
    ToolButton& Button(int position) { return buttons.at(static_cast<std::size_t>(position - 1)); }
    void ClickButton(int position) {
        auto& b = Button(position);
        if (b.enabled && b.visible && onButtonClick) onButtonClick(b.key);
    }
};

struct Timer : Control {
    using Control::Control;
    int interval = 0;
};

struct MenuItem {
    std::string name, caption;
    bool enabled = true, visible = true, separator = false;
    bool checkable = false, checked = false;  // an entry with a check mark
    // A key that runs the entry from anywhere in the window, shown beside its
    // caption ("Ctrl+O", "F7"); empty for none.
    std::string shortcut;
    std::vector<MenuItem*> children;
    std::function<void()> onClick;  // for a submenu: runs when it opens
    void Click() {
        if (enabled && visible && onClick) onClick();
    }
};

}  // namespace moltrix::form
