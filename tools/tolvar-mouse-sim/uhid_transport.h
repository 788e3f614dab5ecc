// The simulated mouse as a real kernel HID device, made through /dev/uhid
// (root and the uhid module needed); the kernel then shows it as a hidraw
// node like the real mouse. Plug creates the device with the ids and report
// descriptor, Unplug destroys it, SendInput delivers an input report. A
// thread of its own answers the kernel's requests: each feature SET_REPORT
// goes to the FeatureSink and is answered once the sink has taken it (the
// sender's HIDIOCSFEATURE waits for that answer); GET_REPORT is refused.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <thread>

#include "mouse_transport.h"
#include "platform/sim/sim_protocol.h"

namespace tolvar::mousesim {

class UhidTransport : public MouseTransport {
 public:
  UhidTransport(sim::DeviceIdentity identity, FeatureSink& sink);
  // Destroys the device and stops the thread.
  ~UhidTransport() override;
  UhidTransport(const UhidTransport&) = delete;
  UhidTransport& operator=(const UhidTransport&) = delete;

  // Opens /dev/uhid and starts answering; false with `error` set.
  bool Open(std::string& error);

  bool Plug(std::string& error) override;
  void Unplug() override;
  void SendInput(std::span<const std::uint8_t> report) override;

 private:
  void Serve();

  const sim::DeviceIdentity identity_;
  FeatureSink& sink_;
  int fd_ = -1;
  int stopRead_ = -1;
  int stopWrite_ = -1;
  bool created_ = false;
  std::thread thread_;
};

}  // namespace tolvar::mousesim
