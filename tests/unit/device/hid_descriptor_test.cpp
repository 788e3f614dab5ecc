#include "device/hid_descriptor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "unit/device/hid_descriptor_builder.h"

namespace tolvar {
namespace {

using test::Descriptor;

struct ExpectedCollection {
  std::uint16_t usagePage;
  std::uint16_t usage;
  std::set<std::uint8_t> inputIds;
  std::size_t inputLength;
  std::size_t outputLength;
  std::size_t featureLength;
};

struct ShapeCase {
  std::string name;
  Descriptor descriptor;
  std::vector<ExpectedCollection> expected;
};

std::vector<ShapeCase> ShapeCases() {
  std::vector<ShapeCase> cases;
  cases.push_back({"BootMouseWithoutReportIds", test::BootMouse(), {{0x01, 0x02, {0}, 7, 0, 0}}});
  cases.push_back({"MouseInterfaceInputFirst",
                   test::MouseVendorInterface(false),
                   {{0x01, 0x06, {1}, 9, 2, 0},
                    {0x0C, 0x01, {2}, 3, 0, 0},
                    {0xFF00, 0x01, {6}, 9, 0, 0},
                    {0xFF01, 0x01, {}, 0, 0, 8}}});
  cases.push_back({"MouseInterfaceFeatureFirst",
                   test::MouseVendorInterface(true),
                   {{0x01, 0x06, {1}, 9, 2, 0},
                    {0x0C, 0x01, {2}, 3, 0, 0},
                    {0xFF01, 0x01, {}, 0, 0, 8},
                    {0xFF00, 0x01, {6}, 9, 0, 0}}});
  // Without report ids the length still counts one byte for the id.
  cases.push_back({"VendorWithoutReportIds", test::Vendor(0xFF01, 0, 4, 7), {{0xFF01, 0x01, {0}, 5, 0, 8}}});
  {
    // The longest report of a kind in a collection decides; bits round up to bytes.
    Descriptor d;
    d.UsagePage(0xFF00).Usage(1).Collection();
    d.ReportId(3).ReportSize(1).ReportCount(12).Input();
    d.ReportId(4).ReportSize(8).ReportCount(20).Input();
    d.ReportId(5).ReportSize(4).ReportCount(3).Feature();
    d.EndCollection();
    cases.push_back({"LongestReportAndRounding", d, {{0xFF00, 0x01, {3, 4}, 21, 0, 3}}});
  }
  {
    // Reports in nested collections count for the top-level one; the inner
    // collections are not top-level collections.
    Descriptor d;
    d.UsagePage(0xFF00).Usage(1).Collection().ReportId(9);
    d.Usage(2).Collection(0x02).ReportSize(8).ReportCount(3).Input();
    d.Usage(3).Collection(0x02).ReportCount(5).Input().EndCollection();
    d.EndCollection().EndCollection();
    cases.push_back({"NestedCollections", d, {{0xFF00, 0x01, {9}, 9, 0, 0}}});
  }
  {
    // Pop restores report id and size pushed before a second collection.
    Descriptor d;
    d.ReportSize(8).ReportId(7).Push();
    d.ReportId(2).ReportSize(1);
    d.UsagePage(0xFF00).Usage(1).Collection().ReportCount(16).Input().EndCollection();
    d.Pop();
    d.UsagePage(0xFF01).Usage(1).Collection().ReportCount(7).Feature().EndCollection();
    cases.push_back({"PushPop", d, {{0xFF00, 0x01, {2}, 3, 0, 0}, {0xFF01, 0x01, {}, 0, 0, 8}}});
  }
  {
    // A 4-byte usage names its own page, whatever the global usage page.
    Descriptor d;
    d.UsagePage(0x01).ExtendedUsage(0xFF01, 0x0001).Collection();
    d.ReportId(7).ReportSize(8).ReportCount(7).Feature().EndCollection();
    cases.push_back({"ExtendedUsage", d, {{0xFF01, 0x01, {}, 0, 0, 8}}});
  }
  {
    // Long items are skipped; Usage Minimum names a collection without Usage.
    Descriptor d;
    d.LongItem(0xF0, {1, 2, 3, 4, 5}).UsagePage(0xFF00).UsageMinimum(1).UsageMaximum(3).Collection();
    d.LongItem(0xF1, {}).ReportSize(8).ReportCount(2).Input().EndCollection();
    cases.push_back({"LongItemsAndUsageMinimum", d, {{0xFF00, 0x01, {0}, 3, 0, 0}}});
  }
  {
    // Local items do not outlive their main item: the second collection has no usage.
    Descriptor d;
    d.UsagePage(0xFF00).Usage(1).Collection().EndCollection().Collection().EndCollection();
    cases.push_back({"LocalsClearedAfterMainItem", d, {{0xFF00, 0x01, {}, 0, 0, 0}, {0x0000, 0x00, {}, 0, 0, 0}}});
  }
  return cases;
}

class HidDescriptorShapes : public testing::TestWithParam<ShapeCase> {};

TEST_P(HidDescriptorShapes, GivesTopLevelCollectionsWithHostLengths) {
  const ShapeCase& c = GetParam();
  const HidDescriptor parsed = ParseHidReportDescriptor(c.descriptor.bytes());
  ASSERT_EQ(parsed.error, HidDescriptorError::None);
  ASSERT_EQ(parsed.collections.size(), c.expected.size());
  for (std::size_t i = 0; i < c.expected.size(); ++i) {
    SCOPED_TRACE("collection " + std::to_string(i));
    const HidCollection& got = parsed.collections[i];
    const ExpectedCollection& want = c.expected[i];
    EXPECT_EQ(got.usagePage, want.usagePage);
    EXPECT_EQ(got.usage, want.usage);
    EXPECT_EQ(got.InputReportIds(), want.inputIds);
    EXPECT_EQ(got.InputReportByteLength(), want.inputLength);
    EXPECT_EQ(got.OutputReportByteLength(), want.outputLength);
    EXPECT_EQ(got.FeatureReportByteLength(), want.featureLength);
  }
}

INSTANTIATE_TEST_SUITE_P(Descriptors, HidDescriptorShapes, testing::ValuesIn(ShapeCases()),
                         [](const auto& info) { return info.param.name; });

struct ErrorCase {
  std::string name;
  Descriptor descriptor;
  HidDescriptorError error;
};

std::vector<ErrorCase> ErrorCases() {
  std::vector<ErrorCase> cases;
  cases.push_back(
      {"ShortItemCutInData", Descriptor().UsagePage(1).Raw({0x06, 0x00}), HidDescriptorError::TruncatedItem});
  cases.push_back({"FourByteItemCut", Descriptor().Raw({0x07, 1, 2, 3}), HidDescriptorError::TruncatedItem});
  cases.push_back({"LongItemHeaderCut", Descriptor().Raw({0xFE, 0x04}), HidDescriptorError::TruncatedItem});
  cases.push_back({"LongItemDataCut", Descriptor().Raw({0xFE, 0x04, 0x10, 1, 2}), HidDescriptorError::TruncatedItem});
  cases.push_back({"EndWithoutCollection", Descriptor().EndCollection(), HidDescriptorError::UnbalancedCollection});
  cases.push_back({"CollectionLeftOpen", Descriptor().Usage(1).Collection(), HidDescriptorError::UnbalancedCollection});
  cases.push_back({"PopWithoutPush", Descriptor().Push().Pop().Pop(), HidDescriptorError::GlobalStackUnderflow});
  {
    Descriptor d;
    for (std::size_t i = 0; i <= kMaxHidGlobalStack; ++i) d.Push();
    cases.push_back({"PushBeyondStack", d, HidDescriptorError::GlobalStackOverflow});
  }
  cases.push_back({"ReportIdZero", Descriptor().ReportId(0), HidDescriptorError::InvalidReportId});
  cases.push_back({"ReportIdAbove255", Descriptor().ReportId(0x100), HidDescriptorError::InvalidReportId});
  cases.push_back({"HugeReportCount",
                   Descriptor().Collection().ReportSize(0xFFFFFFFF).ReportCount(0xFFFFFFFF).Input().EndCollection(),
                   HidDescriptorError::ReportTooLong});
  cases.push_back({"HugeReportOutsideCollection", Descriptor().ReportSize(32).ReportCount(0x10000).Feature(),
                   HidDescriptorError::ReportTooLong});
  {
    // Each item fits, their sum does not.
    Descriptor d;
    d.Collection().ReportSize(8).ReportCount(kMaxHidReportBytes);
    d.Input().Input().EndCollection();
    cases.push_back({"ReportGrowsPastLimit", d, HidDescriptorError::ReportTooLong});
  }
  return cases;
}

class HidDescriptorErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(HidDescriptorErrors, ReportsTheFaultAndNoCollections) {
  const HidDescriptor parsed = ParseHidReportDescriptor(GetParam().descriptor.bytes());
  EXPECT_EQ(parsed.error, GetParam().error);
  EXPECT_TRUE(parsed.collections.empty());
}

INSTANTIATE_TEST_SUITE_P(Descriptors, HidDescriptorErrors, testing::ValuesIn(ErrorCases()),
                         [](const auto& info) { return info.param.name; });

// Whatever the parser returns stays within its documented bounds.
void ExpectSane(const HidDescriptor& parsed) {
  if (parsed.error != HidDescriptorError::None) {
    EXPECT_TRUE(parsed.collections.empty());
  }
  for (const HidCollection& c : parsed.collections) {
    EXPECT_LE(c.InputReportByteLength(), kMaxHidReportBytes + 1);
    EXPECT_LE(c.OutputReportByteLength(), kMaxHidReportBytes + 1);
    EXPECT_LE(c.FeatureReportByteLength(), kMaxHidReportBytes + 1);
  }
}

TEST(HidDescriptorRobustness, EveryTruncationOfARealDescriptor) {
  const std::vector<std::uint8_t> full = test::MouseVendorInterface(false).bytes();
  for (std::size_t length = 0; length < full.size(); ++length) {
    // An exact copy on the heap, so a read past its end is caught by the sanitizer.
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    ExpectSane(ParseHidReportDescriptor(cut));
  }
}

TEST(HidDescriptorRobustness, RandomBytes) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 300);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length(random)));
    for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
    ExpectSane(ParseHidReportDescriptor(bytes));
  }
}

TEST(HidDescriptorRobustness, DeepNesting) {
  constexpr int kDepth = 200000;
  Descriptor balanced;
  balanced.UsagePage(0xFF00).Usage(1);
  for (int i = 0; i < kDepth; ++i) balanced.Collection();
  balanced.ReportSize(8).ReportCount(4).Input();
  for (int i = 0; i < kDepth; ++i) balanced.EndCollection();
  const HidDescriptor parsed = ParseHidReportDescriptor(balanced.bytes());
  ASSERT_EQ(parsed.error, HidDescriptorError::None);
  ASSERT_EQ(parsed.collections.size(), 1u);
  EXPECT_EQ(parsed.collections[0].InputReportByteLength(), 5u);

  Descriptor open;
  for (int i = 0; i < kDepth; ++i) open.Collection();
  EXPECT_EQ(ParseHidReportDescriptor(open.bytes()).error, HidDescriptorError::UnbalancedCollection);
}

}  // namespace
}  // namespace tolvar
