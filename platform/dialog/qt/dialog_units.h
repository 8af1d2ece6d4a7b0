// The dialog font and dialog units on Qt: builds a template's font (with
// fallbacks for Japanese faces the host lacks) and converts dialog units to
// pixels from that font's base units. Knows nothing about controls.
#pragma once

#include <QFont>
#include <QRect>

#include "platform/dialog/template.h"

namespace platform::dialog::qt {

// The font's base units in pixels: the average width of the Latin letters
// and the character height, measured as the original dialog manager did.
struct BaseUnits {
  int x = 0;
  int y = 0;
};

// Teaches Qt that the Japanese dialog faces (which Linux does not have) are
// to be drawn with Noto Sans CJK JP. Takes effect only for families missing
// from the font database; safe to call more than once.
void InstallFontSubstitutes();

// The template's font; an empty name gives the application's default font.
QFont DialogFont(const Font& font);

BaseUnits BaseUnitsOf(const QFont& font);

// Dialog units to pixels: x and width by base x / 4, y and height by
// base y / 8, each rounded to the nearest pixel.
int DluToPixelsX(int dlu, BaseUnits units);
int DluToPixelsY(int dlu, BaseUnits units);
QRect DluToPixels(const Rect& rect, BaseUnits units);

}  // namespace platform::dialog::qt
