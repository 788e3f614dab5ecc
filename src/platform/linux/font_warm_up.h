// Loads the font configuration (fontconfig's files and caches) ahead of the
// first text drawn; the toolkit then finds it loaded. Safe on any thread.
#pragma once

namespace tolvar {

void WarmFontConfiguration();

}  // namespace tolvar
