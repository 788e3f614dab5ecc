// Writes the whole skin into a folder: the 26 images and the eight layout files.
#pragma once

#include <string>

namespace tolvar::skinbuilder {

// Returns an empty text on success, else what went wrong.
std::string WriteSkin(const std::string& folder);

}  // namespace tolvar::skinbuilder
