// Prepares the fonts ahead of the first text drawn, which would otherwise
// wait for them: fills the toolkit's font database (fontconfig's
// configuration and the list of installed fonts) and resolves the English
// texts' two fonts, whose lookups the database keeps for every thread. Thread-safe: any thread may call this once the
// application object exists.
#pragma once

namespace tolvar {

void WarmFonts();

}  // namespace tolvar
