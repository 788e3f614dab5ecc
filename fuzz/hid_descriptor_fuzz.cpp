// The HID report descriptor parser over any bytes: it must stay within its
// input, and what it accepts must respect its own bounds.
#include "device/hid_descriptor.h"
#include "fuzz_check.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HidDescriptor descriptor = ParseHidReportDescriptor({data, size});
  if (descriptor.error != HidDescriptorError::None) {
    FUZZ_CHECK(descriptor.collections.empty());
    return 0;
  }
  for (const HidCollection& collection : descriptor.collections) {
    for (const auto& [id, bits] : collection.reports) {
      FUZZ_CHECK(bits.input <= kMaxHidReportBytes * 8);
      FUZZ_CHECK(bits.output <= kMaxHidReportBytes * 8);
      FUZZ_CHECK(bits.feature <= kMaxHidReportBytes * 8);
    }
    FUZZ_CHECK(collection.InputReportByteLength() <= kMaxHidReportBytes + 1);
    FUZZ_CHECK(collection.OutputReportByteLength() <= kMaxHidReportBytes + 1);
    FUZZ_CHECK(collection.FeatureReportByteLength() <= kMaxHidReportBytes + 1);
    for (std::uint8_t id : collection.InputReportIds()) FUZZ_CHECK(collection.reports.count(id) == 1);
  }
  return 0;
}
