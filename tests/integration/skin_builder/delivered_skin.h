// The delivered skin in the repository's skins/ folder, read the way the
// program reads it, and its images.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/skin_layout.h"

namespace tolvar::testing {

std::string DeliveredSkinDir();

// Qt painting and fonts without a display; call before any Qt use.
void EnsureGuiApplication();

// The four layouts of one language (verSel nonzero: English) through the
// program's loaders. `messages` receives every message box the load showed.
struct LoadedSkin {
  SkinLayout layout;
  std::vector<std::u16string> messages;
  bool loaded = false;
};
LoadedSkin LoadDeliveredSkin(std::uint8_t verSel);

// An image of the delivered skin by its file name, as 32-bit RGB.
QImage SkinImage(const std::string& file);

QRect ToQRect(const HotSpot& spot);
QRect ToQRect(const Rect& rect);

// Mean absolute difference per channel of two images within `area`, 0..255.
double MeanDifference(const QImage& a, const QImage& b, const QRect& area);

// The layout file names of both languages, relative to the skin folder.
const std::vector<std::string>& LayoutFileNames();
// The image file names of the skin.
const std::vector<std::string>& ImageFileNames();

}  // namespace tolvar::testing
