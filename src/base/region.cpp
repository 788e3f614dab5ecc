#include "base/region.h"

#include <algorithm>
#include <iterator>

namespace tolvar {

Region::Region(const Rect& rect) {
  if (!rect.IsEmpty()) bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
}

void Region::Xor(const Rect& rect) { Combine(rect, &Region::XorSpans); }

void Region::Subtract(const Rect& rect) { Combine(rect, &Region::SubtractSpans); }

bool Region::Contains(std::int32_t x, std::int32_t y) const {
  const auto band = std::upper_bound(bands_.begin(), bands_.end(), y,
                                     [](std::int32_t value, const Band& b) { return value < b.bottom; });
  if (band == bands_.end() || y < band->top) return false;
  const auto span = std::upper_bound(band->spans.begin(), band->spans.end(), x,
                                     [](std::int32_t value, const Span& s) { return value < s.right; });
  return span != band->spans.end() && span->left <= x;
}

std::vector<Rect> Region::Rects() const {
  std::vector<Rect> rects;
  for (const Band& band : bands_) {
    for (const Span& span : band.spans) rects.push_back({span.left, band.top, span.right, band.bottom});
  }
  return rects;
}

void Region::Combine(const Rect& rect, SpanOp op) {
  if (rect.IsEmpty()) return;
  const Span span{rect.left, rect.right};
  const std::vector<Span> gapSpans = op({}, span);  // rows of the rectangle that no band holds
  std::vector<Band> out;
  out.reserve(bands_.size() + 3);
  std::int32_t covered = rect.top;  // rows of the rectangle above this have been handled
  auto fillGapTo = [&](std::int32_t bottom) {
    if (covered < bottom) out.push_back({covered, bottom, gapSpans});
    covered = std::max(covered, bottom);
  };
  for (Band& band : bands_) {
    if (band.bottom <= rect.top) {
      out.push_back(std::move(band));
      continue;
    }
    if (band.top >= rect.bottom) {
      fillGapTo(rect.bottom);
      out.push_back(std::move(band));
      continue;
    }
    const std::int32_t top = std::max(band.top, rect.top);
    const std::int32_t bottom = std::min(band.bottom, rect.bottom);
    if (band.top < rect.top) out.push_back({band.top, rect.top, band.spans});
    fillGapTo(top);
    out.push_back({top, bottom, op(band.spans, span)});
    covered = bottom;
    if (band.bottom > rect.bottom) out.push_back({rect.bottom, band.bottom, std::move(band.spans)});
  }
  fillGapTo(rect.bottom);

  // Back to the one representation: no empty bands, touching bands differ.
  bands_.clear();
  for (Band& band : out) {
    if (band.spans.empty()) continue;
    if (!bands_.empty() && bands_.back().bottom == band.top && bands_.back().spans == band.spans) {
      bands_.back().bottom = band.bottom;
    } else {
      bands_.push_back(std::move(band));
    }
  }
}

void Region::AppendRow(std::int32_t y, std::vector<Span>&& spans) {
  if (spans.empty()) return;
  if (!bands_.empty() && bands_.back().bottom == y && bands_.back().spans == spans) {
    bands_.back().bottom = y + 1;
  } else {
    bands_.push_back({y, y + 1, std::move(spans)});
  }
}

std::vector<Region::Span> Region::XorSpans(const std::vector<Span>& spans, Span span) {
  // Spans as their edges in ascending order: the symmetric difference has the
  // edges of both, an edge present in both cancelling out.
  std::vector<std::int32_t> edges;
  edges.reserve(spans.size() * 2);
  for (const Span& s : spans) {
    edges.push_back(s.left);
    edges.push_back(s.right);
  }
  const std::int32_t added[] = {span.left, span.right};
  std::vector<std::int32_t> merged;
  merged.reserve(edges.size() + 2);
  std::merge(edges.begin(), edges.end(), std::begin(added), std::end(added), std::back_inserter(merged));
  std::vector<std::int32_t> kept;
  kept.reserve(merged.size());
  for (std::size_t i = 0; i < merged.size(); ++i) {
    if (i + 1 < merged.size() && merged[i] == merged[i + 1]) {
      ++i;
      continue;
    }
    kept.push_back(merged[i]);
  }
  std::vector<Span> result;
  result.reserve(kept.size() / 2);
  for (std::size_t i = 0; i + 1 < kept.size(); i += 2) result.push_back({kept[i], kept[i + 1]});
  return result;
}

std::vector<Region::Span> Region::SubtractSpans(const std::vector<Span>& spans, Span span) {
  std::vector<Span> result;
  result.reserve(spans.size() + 1);
  for (const Span& s : spans) {
    if (s.right <= span.left || s.left >= span.right) {
      result.push_back(s);
      continue;
    }
    if (s.left < span.left) result.push_back({s.left, span.left});
    if (s.right > span.right) result.push_back({span.right, s.right});
  }
  return result;
}

}  // namespace tolvar
