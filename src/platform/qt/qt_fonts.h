// The Qt font for each of the program's fonts. The faces the program names
// are not on Linux desktops; fontconfig falls back through the listed
// families to an installed face of the same kind (monospaced Latin for the
// English texts, a face with Hangul and Han for the other language).
#pragma once

#include <QFont>

#include "app/app_state.h"

namespace tolvar {

QFont QtFontFor(const FontSpec& wanted);

}  // namespace tolvar
