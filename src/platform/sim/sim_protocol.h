// The local-socket protocol between the program and the simulated mouse
// (tools/tolvar-mouse-sim), which listens on a Unix stream socket.
//
// Every message is a frame: one type byte, the payload length as two bytes
// (little-endian), then the payload. A connection serves one purpose, chosen
// by the client's first frame, Open, whose one payload byte is the role:
//
//   role 'E' enumerate: the server answers Device (vendor id and product id,
//            two bytes each, little-endian, then the HID report descriptor)
//            when the mouse is plugged in, Absent when it is not; then it
//            closes the connection.
//   role 'N' notices:   the server answers Present or Absent (the state now),
//            then sends Arrival when the mouse is plugged in and Removal when
//            it is unplugged, for as long as the connection stays open.
//   role 'I' input:     the server answers Present, then sends every input
//            report of the mouse as an Input frame (report id first), like a
//            read of a hidraw node; or it answers Absent and closes. Unplugging
//            closes every input connection.
//   role 'F' feature:   the server answers Present (or Absent and closes); the
//            client then sends Feature frames (report id first) and the server
//            answers each with Ack once the mouse has taken the report, or
//            Refused when the mouse did not take it (HIDIOCSFEATURE failing
//            with an error), like HIDIOCSFEATURE. Unplugging closes every
//            feature connection.
//
// A frame of unknown type, out of place, or longer than kMaxFramePayload
// ends the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar::sim {

enum class FrameType : std::uint8_t {
  Open = 'O',
  Device = 'D',
  Present = 'P',
  Absent = 'U',
  Arrival = 'A',
  Removal = 'R',
  Input = 'I',
  Feature = 'F',
  Ack = 'K',
  Refused = 'N',
};

enum class Role : std::uint8_t { Enumerate = 'E', Notices = 'N', Input = 'I', Feature = 'F' };

constexpr std::size_t kFrameHeaderSize = 3;
// Enough for the largest HID report descriptor (4096 bytes) with the ids.
constexpr std::size_t kMaxFramePayload = 8192;

// Devices behind a simulator socket carry this prefix before the socket path.
inline constexpr std::string_view kSimPathPrefix = "sim:";
std::string SimDevicePath(const std::string& socketPath);

struct Frame {
  FrameType type{};
  std::vector<std::uint8_t> payload;
  friend bool operator==(const Frame&, const Frame&) = default;
};

// Empty when the payload is longer than kMaxFramePayload.
std::vector<std::uint8_t> EncodeFrame(FrameType type, std::span<const std::uint8_t> payload = {});

// Collects bytes as they arrive and cuts them into frames.
class FrameReader {
 public:
  void Append(std::span<const std::uint8_t> bytes);
  // The next complete frame, if one has arrived.
  std::optional<Frame> Next();
  // True once the stream held a frame that breaks the protocol; nothing more is read.
  bool Broken() const { return broken_; }

 private:
  std::vector<std::uint8_t> pending_;
  bool broken_ = false;
};

// The identity of a simulated mouse, as carried by a Device frame.
struct DeviceIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::vector<std::uint8_t> reportDescriptor;
  friend bool operator==(const DeviceIdentity&, const DeviceIdentity&) = default;
};

std::vector<std::uint8_t> EncodeIdentity(const DeviceIdentity& identity);
std::optional<DeviceIdentity> DecodeIdentity(std::span<const std::uint8_t> payload);

// Blocking helpers on a connected socket. Writes never raise SIGPIPE and
// refuse a payload longer than kMaxFramePayload.
int ConnectToSimulator(const std::string& socketPath);  // -1 when nobody listens
bool WriteFrame(int fd, FrameType type, std::span<const std::uint8_t> payload = {});
// Reads until `reader` yields a frame; nothing at end of stream, on an
// error or on a broken stream.
std::optional<Frame> ReadFrame(int fd, FrameReader& reader);

// A connection opened for one role, with the server's first answer.
struct Connection {
  int fd = -1;  // -1: nobody listens, or the server did not answer
  FrameType answer = FrameType::Absent;
};
// Later frames of the connection are read through `reader`.
Connection OpenConnection(const std::string& socketPath, Role role, FrameReader& reader,
                          std::vector<std::uint8_t>* answerPayload = nullptr);

}  // namespace tolvar::sim
