// The dialog font and dialog units on Qt: builds a template's font (with
// fallbacks for Japanese faces the host lacks) and converts dialog units to
// pixels from that font's base units. Knows nothing about controls.
#pragma once

#include <QFont>
#include <QRect>

#include "platform/dialog/template.h"

namespace platform::dialog::qt {

// The font's base units in pixels: a quarter of the width and an eighth of
// the height of one dialog unit cell.
struct BaseUnits {
  int x = 0;
  int y = 0;
};

// Teaches Qt that the Japanese dialog faces (which Linux does not have) are
// to be drawn with faces it has: the proportional gothic one with IPA P
// Gothic, the others with Noto Sans CJK JP. Takes effect only for families
// missing from the font database; safe to call more than once.
void InstallFontSubstitutes();

// The template's font; an empty name gives the application's default font.
QFont DialogFont(const Font& font);

// The base units of a dialog font, from its size in pixels (its em, which
// follows the screen's dots per inch): half an em across and 13/12 of an em
// down, each rounded to the nearest pixel. These are the cell of the 9-point
// Japanese interface face the templates were drawn for (6 x 13 pixels at 96
// dots per inch), whatever face stands in for it here: the stand-in's own
// line height (17 pixels for Noto Sans CJK JP at 9 points) would stretch
// every dialog by 40% downwards.
BaseUnits BaseUnitsOf(const QFont& font);
BaseUnits BaseUnitsForEm(int emPixels);

// Dialog units to pixels: x and width by base x / 4, y and height by
// base y / 8, each rounded to the nearest pixel.
int DluToPixelsX(int dlu, BaseUnits units);
int DluToPixelsY(int dlu, BaseUnits units);
QRect DluToPixels(const Rect& rect, BaseUnits units);

}  // namespace platform::dialog::qt
