// The input-report reader over any sequence of reports, as its read loop
// hands them over: a report of any length, any button number, any state,
// with any button assignment and any user macro modes. Between reports the
// player may finish its pass. A request always names a button event.
#include <fuzzer/FuzzedDataProvider.h>

#include "app/startup.h"
#include "app/workers.h"
#include "fuzz_check.h"

using namespace tolvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  AppState state;
  for (auto& code : state.Settings.K) code = input.ConsumeIntegral<std::int32_t>();
  for (Macro& macro : state.UserMacros.slots) macro.mode = input.ConsumeIntegral<std::uint8_t>();

  InputReportReader reader(state.Link);
  while (input.remaining_bytes() > 0) {
    if (input.ConsumeBool()) {
      // The player ends its pass.
      state.Link.StopRequest.store(0);
      state.Link.PlayRequest.store(0);
    }
    const std::vector<std::uint8_t> report =
        input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
    reader.HandleReport(report);
    if (state.Link.PlayRequest.load() != 0) FUZZ_CHECK(state.Link.TriggerCode.load() > kButtonEventBase);
  }
  return 0;
}
