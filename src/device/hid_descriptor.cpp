#include "device/hid_descriptor.h"

#include <algorithm>
#include <optional>

namespace tolvar {

namespace {

constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint32_t kMaxReportBits = kMaxHidReportBytes * 8;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : std::uint8_t { kInput = 0x8, kOutput = 0x9, kCollection = 0xA, kFeature = 0xB, kEndCollection = 0xC };
enum GlobalTag : std::uint8_t {
  kUsagePage = 0x0,
  kReportSize = 0x7,
  kReportId = 0x8,
  kReportCount = 0x9,
  kPush = 0xA,
  kPop = 0xB
};
enum LocalTag : std::uint8_t { kUsage = 0x0, kUsageMinimum = 0x1 };

struct GlobalState {
  std::uint16_t usagePage = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportId = 0;
};

// A Usage or Usage Minimum item: a 4-byte item names its own page, a shorter
// one takes the global usage page in force at the main item.
struct LocalUsage {
  std::uint32_t value = 0;
  bool extended = false;
};

struct Item {
  std::uint8_t type = 0;
  std::uint8_t tag = 0;
  std::uint32_t data = 0;
  std::size_t size = 0;   // bytes the item takes, prefix included
  bool extended = false;  // 4 data bytes: a Usage names its own page
};

// Reads the item at `pos`; nothing when it runs past the end.
std::optional<Item> ReadItem(std::span<const std::uint8_t> bytes, std::size_t pos) {
  const std::size_t left = bytes.size() - pos;
  const std::uint8_t prefix = bytes[pos];
  if (prefix == kLongItemPrefix) {
    // Long items: prefix, data size, tag, data. None is defined; they are skipped.
    if (left < 3) return std::nullopt;
    const std::size_t dataSize = bytes[pos + 1];
    if (left - 3 < dataSize) return std::nullopt;
    return Item{0xFF, 0xFF, 0, 3 + dataSize, false};
  }
  static constexpr std::size_t kDataSizes[4] = {0, 1, 2, 4};
  const std::size_t dataSize = kDataSizes[prefix & 0x3];
  if (left - 1 < dataSize) return std::nullopt;
  Item item;
  item.type = static_cast<std::uint8_t>((prefix >> 2) & 0x3);
  item.tag = static_cast<std::uint8_t>(prefix >> 4);
  for (std::size_t i = 0; i < dataSize; ++i) item.data |= std::uint32_t{bytes[pos + 1 + i]} << (8 * i);
  item.size = 1 + dataSize;
  item.extended = dataSize == 4;
  return item;
}

class Parser {
 public:
  HidDescriptor Run(std::span<const std::uint8_t> bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
      const std::optional<Item> item = ReadItem(bytes, pos);
      if (!item) return Fail(HidDescriptorError::TruncatedItem);
      pos += item->size;
      const HidDescriptorError error = Apply(*item);
      if (error != HidDescriptorError::None) return Fail(error);
    }
    if (depth_ != 0) return Fail(HidDescriptorError::UnbalancedCollection);
    return HidDescriptor{HidDescriptorError::None, std::move(collections_)};
  }

 private:
  static HidDescriptor Fail(HidDescriptorError error) { return HidDescriptor{error, {}}; }

  HidDescriptorError Apply(const Item& item) {
    switch (item.type) {
      case kMain:
        return ApplyMain(item);
      case kGlobal:
        return ApplyGlobal(item);
      case kLocal:
        ApplyLocal(item);
        return HidDescriptorError::None;
      default:  // reserved item types and long items carry nothing we use
        return HidDescriptorError::None;
    }
  }

  HidDescriptorError ApplyMain(const Item& item) {
    HidDescriptorError error = HidDescriptorError::None;
    switch (item.tag) {
      case kCollection:
        if (depth_ == 0) collections_.push_back(NewCollection());
        ++depth_;
        break;
      case kEndCollection:
        if (depth_ == 0) return HidDescriptorError::UnbalancedCollection;
        --depth_;
        break;
      case kInput:
        error = AddBits(&HidReportBits::input);
        break;
      case kOutput:
        error = AddBits(&HidReportBits::output);
        break;
      case kFeature:
        error = AddBits(&HidReportBits::feature);
        break;
      default:
        break;
    }
    usage_.reset();
    usageMinimum_.reset();
    return error;
  }

  HidDescriptorError ApplyGlobal(const Item& item) {
    switch (item.tag) {
      case kUsagePage:
        global_.usagePage = static_cast<std::uint16_t>(item.data & 0xFFFF);
        break;
      case kReportSize:
        global_.reportSize = item.data;
        break;
      case kReportCount:
        global_.reportCount = item.data;
        break;
      case kReportId:
        if (item.data == 0 || item.data > 0xFF) return HidDescriptorError::InvalidReportId;
        global_.reportId = static_cast<std::uint8_t>(item.data);
        break;
      case kPush:
        if (stack_.size() >= kMaxHidGlobalStack) return HidDescriptorError::GlobalStackOverflow;
        stack_.push_back(global_);
        break;
      case kPop:
        if (stack_.empty()) return HidDescriptorError::GlobalStackUnderflow;
        global_ = stack_.back();
        stack_.pop_back();
        break;
      default:
        break;
    }
    return HidDescriptorError::None;
  }

  void ApplyLocal(const Item& item) {
    // A collection is named by its first Usage (or, lacking one, its Usage Minimum).
    if (item.tag == kUsage && !usage_) usage_ = LocalUsage{item.data, item.extended};
    if (item.tag == kUsageMinimum && !usageMinimum_) usageMinimum_ = LocalUsage{item.data, item.extended};
  }

  HidCollection NewCollection() const {
    HidCollection collection;
    const std::optional<LocalUsage>& named = usage_ ? usage_ : usageMinimum_;
    if (named) {
      collection.usagePage = named->extended ? static_cast<std::uint16_t>(named->value >> 16) : global_.usagePage;
      collection.usage = static_cast<std::uint16_t>(named->value & 0xFFFF);
    }
    return collection;
  }

  // Adds one main item's bits to the report of the current id in the open
  // top-level collection; items outside every collection belong to none.
  HidDescriptorError AddBits(std::uint32_t HidReportBits::*kind) {
    const std::uint64_t itemBits = std::uint64_t{global_.reportSize} * global_.reportCount;
    if (depth_ == 0) return itemBits > kMaxReportBits ? HidDescriptorError::ReportTooLong : HidDescriptorError::None;
    std::uint32_t& bits = collections_.back().reports[global_.reportId].*kind;
    if (itemBits > kMaxReportBits - bits) return HidDescriptorError::ReportTooLong;
    bits += static_cast<std::uint32_t>(itemBits);
    return HidDescriptorError::None;
  }

  GlobalState global_;
  std::vector<GlobalState> stack_;
  std::optional<LocalUsage> usage_;
  std::optional<LocalUsage> usageMinimum_;
  std::size_t depth_ = 0;
  std::vector<HidCollection> collections_;
};

std::size_t LongestReportBytes(const std::map<std::uint8_t, HidReportBits>& reports,
                               std::uint32_t HidReportBits::*kind) {
  std::uint32_t longest = 0;
  for (const auto& [id, bits] : reports) longest = std::max(longest, bits.*kind);
  if (longest == 0) return 0;
  return (std::size_t{longest} + 7) / 8 + 1;  // whole bytes, plus the report id byte
}

}  // namespace

std::set<std::uint8_t> HidCollection::InputReportIds() const {
  std::set<std::uint8_t> ids;
  for (const auto& [id, bits] : reports) {
    if (bits.input > 0) ids.insert(id);
  }
  return ids;
}

std::size_t HidCollection::InputReportByteLength() const { return LongestReportBytes(reports, &HidReportBits::input); }
std::size_t HidCollection::OutputReportByteLength() const {
  return LongestReportBytes(reports, &HidReportBits::output);
}
std::size_t HidCollection::FeatureReportByteLength() const {
  return LongestReportBytes(reports, &HidReportBits::feature);
}

HidDescriptor ParseHidReportDescriptor(std::span<const std::uint8_t> bytes) { return Parser{}.Run(bytes); }

}  // namespace tolvar
