// Fills the toolkit's font database (fontconfig's configuration and the
// list of installed fonts) ahead of the first text drawn, which would
// otherwise wait for it. The database is thread-safe: any thread may call
// this once the application object exists.
#pragma once

namespace tolvar {

void WarmFontDatabase();

}  // namespace tolvar
