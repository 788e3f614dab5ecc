// The simulator's socket protocol: any byte stream, arriving in pieces of
// any size, cut into frames. Every frame must encode back to the bytes it
// came from, and every Device payload must decode and encode back.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "platform/sim/sim_protocol.h"

using namespace tolvar;
using namespace tolvar::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<std::uint8_t> sent;
  std::vector<std::uint8_t> framed;
  FrameReader reader;
  while (input.remaining_bytes() > 0 && !reader.Broken()) {
    const std::vector<std::uint8_t> piece =
        input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 4096));
    sent.insert(sent.end(), piece.begin(), piece.end());
    reader.Append(piece);
    while (std::optional<Frame> frame = reader.Next()) {
      FUZZ_CHECK(frame->payload.size() <= kMaxFramePayload);
      const std::vector<std::uint8_t> encoded = EncodeFrame(frame->type, frame->payload);
      FUZZ_CHECK(encoded.size() == kFrameHeaderSize + frame->payload.size());
      framed.insert(framed.end(), encoded.begin(), encoded.end());
      if (frame->type == FrameType::Device) {
        if (const std::optional<DeviceIdentity> identity = DecodeIdentity(frame->payload)) {
          FUZZ_CHECK(EncodeIdentity(*identity) == frame->payload);
        }
      }
    }
  }
  // The frames taken are the stream's beginning, byte for byte.
  FUZZ_CHECK(framed.size() <= sent.size());
  FUZZ_CHECK(std::equal(framed.begin(), framed.end(), sent.begin()));
  return 0;
}
