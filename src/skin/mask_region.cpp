#include "skin/mask_region.h"

#include <algorithm>

namespace tolvar {

namespace {

bool IsLight(const std::uint8_t* rgb) {
  return rgb[0] > kLightChannelMin && rgb[1] > kLightChannelMin && rgb[2] > kLightChannelMin;
}

}  // namespace

MaskShape MaskRegion(const ImageSource& image) {
  MaskShape shape;
  shape.width = std::max(0, image.Width());
  shape.height = std::max(0, image.Height());
  for (int y = 0; y < shape.height; ++y) {
    const std::span<const std::uint8_t> row = image.RgbRow(y);
    const int pixels = std::min<int>(shape.width, static_cast<int>(row.size() / 3));
    std::vector<Region::Span> spans;
    int x = 0;
    while (x < shape.width) {
      while (x < pixels && IsLight(&row[static_cast<std::size_t>(x) * 3])) ++x;
      if (x >= shape.width) break;
      const int left = x;
      while (x < shape.width && (x >= pixels || !IsLight(&row[static_cast<std::size_t>(x) * 3]))) ++x;
      spans.push_back({left, x});
    }
    shape.region.AppendRow(y, std::move(spans));
  }
  return shape;
}

MaskShape MaskRegion(ImageFileReader& reader, const std::string& path) {
  const std::unique_ptr<ImageSource> image = reader.ReadPixels(path);
  if (!image) return {};
  return MaskRegion(*image);
}

Region ControlFreeRegion(const Region& windowShape, const AdvancedAreas& areas) {
  Region region = windowShape;
  for (const Rect& area : {areas.NameEditArea, areas.EventListArea, areas.MacroListArea, areas.CutOutArea}) {
    region.Subtract(area);
  }
  return region;
}

}  // namespace tolvar
