#pragma once
// Where each control of the main window sits: pixel rectangles, relative to
// the frame that holds it or to the client area (703 x 455 px, the designed
// 10545 x 6825 twips at 15 twips per pixel; the toolbar runs along its top,
// the status bar along its bottom).
#include <QRect>
#include <string>

#include "form/main_form.h"

namespace moltrix::app {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = form::MainForm::kClientWidthTwips / kTwipsPerPixel;
inline constexpr int kClientHeight = form::MainForm::kClientHeightTwips / kTwipsPerPixel;
static_assert(kClientWidth == 703 && kClientHeight == 455);
inline constexpr int kToolbarHeight = 26;
inline constexpr int kStatusBarHeight = 22;

struct Placement {
    QRect rect;
    // A page of text in a fixed-pitch font (the hex dump's columns), shown
    // whole, without scroll bars of its own.
    bool fixedPitchPage = false;
};

// The placement of the named control; an empty rect for a name the table
// does not know (such a control is still built, at the top left of its parent).
Placement DesignPlacement(const std::string& controlName);

}  // namespace moltrix::app
