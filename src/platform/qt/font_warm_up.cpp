#include "platform/qt/font_warm_up.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

#include "platform/qt/qt_fonts.h"
#include "skin/fonts.h"

namespace tolvar {

void WarmFonts() {
  QFontDatabase::families();
  // The English texts' fonts only: resolving the other language's script
  // and its fallbacks costs several times as much, and most starts never
  // draw it.
  const QString sample = QStringLiteral("Aa0 ");
  for (const FontSpec& font : {kFontEnglish, kFontEnglishSmall}) {
    QFontMetrics(QtFontFor(font)).horizontalAdvance(sample);
  }
}

}  // namespace tolvar
