#include "platform/qt/qt_fonts.h"

#include <QString>
#include <QStringList>

#include "base/text.h"

namespace tolvar {

namespace {

QStringList FamiliesFor(const QString& face) {
  if (face == QStringLiteral("Consolas")) {
    return {face, QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"), QStringLiteral("Monospace")};
  }
  return {face, QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK KR"),
          QStringLiteral("Noto Sans CJK SC")};
}

}  // namespace

QFont QtFontFor(const FontSpec& wanted) {
  const QString face = QString::fromStdU16String(wanted.face);
  QFont font;
  font.setFamilies(FamiliesFor(face));
  font.setStyleHint(face == QStringLiteral("Consolas") ? QFont::Monospace : QFont::SansSerif);
  // The height is the character cell; the em size is about six sevenths of
  // it. No height keeps the default size.
  if (wanted.height * 6 / 7 > 0) font.setPixelSize(wanted.height * 6 / 7);
  font.setWeight(static_cast<QFont::Weight>(wanted.weight));
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

}  // namespace tolvar
