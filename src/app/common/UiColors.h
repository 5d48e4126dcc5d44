#pragma once

#include <QColor>

namespace orsa::app::colors {

// The shell's palette; the values are the ones the beacon's documentation screenshots use.
inline QColor nearWhite() { return {245, 242, 240}; }
inline QColor steelBlue() { return {64, 125, 161}; }
inline QColor darkGrey() { return {68, 68, 68}; }
inline QColor headerGrey() { return {64, 64, 66}; }
inline QColor hoverRed() { return {255, 0, 0}; }
inline QColor formWhite() { return {255, 255, 255}; }
// A field that cannot be changed: the grey face and text desktops give it.
inline QColor disabledFieldBase() { return {240, 240, 240}; }
inline QColor disabledFieldText() { return {109, 109, 109}; }

}  // namespace orsa::app::colors
