// The fonts the windows draw their texts in: English, its smaller variant
// for the DPI level names, and the other language's.
#pragma once

#include "base/values.h"

namespace tolvar {

inline const FontSpec kFontEnglish{u"Consolas", 14, 7, 400};
inline const FontSpec kFontEnglishSmall{u"Consolas", 12, 5, 400};
inline const FontSpec kFontOther{u"宋体", 12, 6, 400};

}  // namespace tolvar
