#include "platform/dialog/qt/dialog_units.h"

#include <cstddef>  // std::size_t

#include <QFontInfo>
#include <QString>
#include <QStringList>

namespace platform::dialog::qt {
namespace {

// The faces the programs' templates name, and the ones that stand in for
// them. The proportional gothic face of the dialogs takes IPA P Gothic
// (fonts-ipafont-gothic) first: its half-width kana and voicing marks keep
// their full half-em shapes at 9 points, where Noto Sans CJK JP draws them
// as narrow condensed marks. The others take Noto Sans CJK JP first
// (fonts-noto-cjk); then other Japanese faces a desktop may have.
const char* const kProportionalGothicFaces[] = {"ＭＳ Ｐゴシック", "MS PGothic"};
const char* const kOtherJapaneseFaces[] = {
    "ＭＳ ゴシック", "ＭＳ Ｐ明朝", "ＭＳ 明朝", "MS Gothic", "MS UI Gothic",
};
const char* const kProportionalGothicStandIns[] = {"IPAPGothic", "Noto Sans CJK JP", "Noto Sans JP", "VL PGothic",
                                                   "TakaoPGothic"};
const char* const kStandIns[] = {"Noto Sans CJK JP", "Noto Sans JP", "IPAPGothic", "VL PGothic", "TakaoPGothic"};

template <std::size_t Faces, std::size_t StandIns>
void Substitute(const char* const (&faces)[Faces], const char* const (&standIns)[StandIns]) {
  QStringList list;
  for (const char* face : standIns) list << QString::fromUtf8(face);
  for (const char* face : faces) {
    QString name = QString::fromUtf8(face);
    if (QFont::substitutes(name).isEmpty()) QFont::insertSubstitutions(name, list);
  }
}

// MulDiv as the dialog manager used it: the product divided with rounding.
int Scale(int value, int numerator, int denominator) {
  long long product = static_cast<long long>(value) * numerator;
  long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

}  // namespace

void InstallFontSubstitutes() {
  Substitute(kProportionalGothicFaces, kProportionalGothicStandIns);
  Substitute(kOtherJapaneseFaces, kStandIns);
}

QFont DialogFont(const Font& font) {
  QFont result;
  if (!font.name.empty())
    result.setFamily(QString::fromUtf8(font.name.data(), static_cast<qsizetype>(font.name.size())));
  if (font.points > 0) result.setPointSize(font.points);
  return result;
}

BaseUnits BaseUnitsOf(const QFont& font) { return BaseUnitsForEm(QFontInfo(font).pixelSize()); }

BaseUnits BaseUnitsForEm(int emPixels) {
  BaseUnits units;
  units.x = Scale(emPixels, 1, 2);
  units.y = Scale(emPixels, 13, 12);
  if (units.x < 1) units.x = 1;
  if (units.y < 1) units.y = 1;
  return units;
}

int DluToPixelsX(int dlu, BaseUnits units) { return Scale(dlu, units.x, 4); }

int DluToPixelsY(int dlu, BaseUnits units) { return Scale(dlu, units.y, 8); }

QRect DluToPixels(const Rect& rect, BaseUnits units) {
  return QRect(DluToPixelsX(rect.x, units), DluToPixelsY(rect.y, units), DluToPixelsX(rect.width, units),
               DluToPixelsY(rect.height, units));
}

}  // namespace platform::dialog::qt
