// What the simulated mouse presents to the computer: its USB ids and a HID
// report descriptor with five top-level collections, each with its own
// report id:
//   1  mouse (generic desktop 0x01/0x02): three buttons, X, Y and wheel;
//   2  keyboard (0x01/0x06): modifier bits, a reserved byte, six key slots;
//   3  consumer control (0x0C/0x01): one 16-bit usage;
//   4  vendor input collection (0xFF00/1): seven bytes, the button reports;
//   7  vendor feature collection (0xFF01/1): a seven-byte feature report,
//      the commands.
// Every report therefore starts with its report id; the input and feature
// reports are 8 bytes long with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/sim/sim_protocol.h"

namespace tolvar::mousesim {

constexpr std::uint16_t kVendorId = 0x18F8;
constexpr std::uint16_t kProductId = 0x1686;

constexpr std::uint8_t kMouseReportId = 1;
constexpr std::uint8_t kKeyboardReportId = 2;
constexpr std::uint8_t kConsumerReportId = 3;
constexpr std::uint8_t kButtonReportId = 4;
constexpr std::uint8_t kCommandReportId = 7;

constexpr std::size_t kButtonReportLength = 8;   // report id included
constexpr std::size_t kCommandReportLength = 8;  // report id included

std::span<const std::uint8_t> ReportDescriptor();

// The ids and the descriptor together, as the transports present them.
sim::DeviceIdentity Identity();

}  // namespace tolvar::mousesim
