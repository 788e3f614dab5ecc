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
  // Latin, digits and the other language's script, so that each font's
  // fallbacks are looked up too.
  const QString sample = QStringLiteral("Aa0 \uAC00\u5B8B");
  for (const FontSpec& spec : {kFontEnglish, kFontEnglishSmall, kFontOther}) {
    QFontMetrics(QtFontFor(spec)).horizontalAdvance(sample);
  }
}

}  // namespace tolvar
