#include "platform/linux/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace tolvar {

void WarmFontConfiguration() { FcInit(); }

}  // namespace tolvar
