#pragma once

class QWidget;

namespace orsa::app {

// The frame that tells a keyboard user which of the window's own drawn controls (toolbar buttons,
// section labels, help texts) has the focus: two pixels wide, just inside `widget`, drawn over what
// the widget painted. Nothing is drawn while the widget does not have the focus.
void paintFocusFrame(QWidget& widget, QWidget& surface);

}  // namespace orsa::app
