#include "platform/qt/font_warm_up.h"

#include <QFontDatabase>
#include <QStringList>

namespace tolvar {

void WarmFontDatabase() { QFontDatabase::families(); }

}  // namespace tolvar
