#include "simulator.h"

namespace tolvar::mousesim {

void Simulator::Attach(MouseTransport& transport) {
  std::lock_guard lock(mutex_);
  transport_ = &transport;
}

bool Simulator::Start(std::string& error) {
  std::lock_guard lock(mutex_);
  if (!transport_ || !transport_->Plug(error)) return false;
  plugged_ = true;
  return true;
}

void Simulator::TakeFeatureReport(std::span<const std::uint8_t> report) {
  std::lock_guard lock(mutex_);
  const Reaction reaction = model_.TakeFeatureReport(report);
  for (const std::string& record : reaction.records) log_.Write(record);
  if (plugged_) {
    for (const auto& input : reaction.inputReports) transport_->SendInput(input);
  }
}

Simulator::Outcome Simulator::Execute(const Command& command) {
  std::lock_guard lock(mutex_);
  switch (command.kind) {
    case CommandKind::None:
      return {};
    case CommandKind::Press:
    case CommandKind::Release: {
      if (!plugged_) return {{}, "the mouse is unplugged; plug it in first"};
      const auto report = command.kind == CommandKind::Press ? model_.Press(command.button, command.value)
                                                             : model_.Release(command.button);
      transport_->SendInput(report);
      return {};
    }
    case CommandKind::Unplug:
      if (!plugged_) return {{}, "the mouse is already unplugged"};
      transport_->Unplug();
      plugged_ = false;
      log_.Write("UNPLUG");
      return {};
    case CommandKind::Plug: {
      if (plugged_) return {{}, "the mouse is already plugged in"};
      std::string error;
      if (!transport_->Plug(error)) return {{}, error};
      plugged_ = true;
      log_.Write("PLUG");
      return {};
    }
    case CommandKind::State:
      return {model_.Describe(), {}};
    case CommandKind::Quit:
      return {{}, {}, true};
  }
  return {};
}

MouseState Simulator::State() const {
  std::lock_guard lock(mutex_);
  return model_.State();
}

}  // namespace tolvar::mousesim
