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

FeatureAnswer Simulator::TakeFeatureReport(std::span<const std::uint8_t> report) {
  std::lock_guard lock(mutex_);
  FeatureAnswer answer;
  if (faults_.delayed > 0) {
    --faults_.delayed;
    answer.delay = faults_.delay;
  }
  if (faults_.cut) {
    faults_.cut = false;
    log_.Write("CUT " + HexBytes(report));
    return {FeatureAnswer::Kind::Cut, answer.delay};
  }
  if (faults_.refuse > 0) {
    --faults_.refuse;
    log_.Write("REFUSED " + HexBytes(report));
    return {FeatureAnswer::Kind::Refused, answer.delay};
  }
  const Reaction reaction = model_.TakeFeatureReport(report);
  for (const std::string& record : reaction.records) log_.Write(record);
  if (plugged_) {
    for (const auto& input : reaction.inputReports) transport_->SendInput(input);
  }
  if (faults_.goneAfter > 0 && --faults_.goneAfter == 0 && plugged_) UnplugLocked();
  return answer;
}

void Simulator::UnplugLocked() {
  transport_->Unplug();
  plugged_ = false;
  log_.Write("UNPLUG");
}

Simulator::Outcome Simulator::Arm(const Command& command) {
  switch (command.kind) {
    case CommandKind::Refuse:
      faults_.refuse = command.count;
      break;
    case CommandKind::Delay:
      faults_.delayed = command.count;
      faults_.delay = std::chrono::milliseconds(command.delayMs);
      break;
    case CommandKind::CutFeature:
      faults_.cut = true;
      break;
    case CommandKind::GoneAfter:
      if (!plugged_) return {{}, "the mouse is unplugged; plug it in first"};
      faults_.goneAfter = command.count;
      break;
    default:
      break;
  }
  return {};
}

Simulator::Outcome Simulator::SendRawInput(const Command& command) {
  if (!plugged_) return {{}, "the mouse is unplugged; plug it in first"};
  if (command.kind == CommandKind::Input) {
    transport_->SendInput(command.bytes);
    log_.Write("INPUT " + HexBytes(command.bytes));
    return {};
  }
  std::uniform_int_distribution<std::size_t> length(0, kMaxRawInputBytes);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < command.count; ++i) {
    std::vector<std::uint8_t> report(length(random_));
    for (std::uint8_t& value : report) value = static_cast<std::uint8_t>(byte(random_));
    transport_->SendInput(report);
    log_.Write("INPUT " + HexBytes(report));
  }
  return {};
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
      UnplugLocked();
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
    case CommandKind::Refuse:
    case CommandKind::Delay:
    case CommandKind::CutFeature:
    case CommandKind::GoneAfter:
      return Arm(command);
    case CommandKind::CutInput: {
      if (!plugged_) return {{}, "the mouse is unplugged; plug it in first"};
      std::string error;
      if (!transport_->CutInput(error)) return {{}, error};
      log_.Write("CUT INPUT");
      return {};
    }
    case CommandKind::Input:
    case CommandKind::RandomInput:
      return SendRawInput(command);
  }
  return {};
}

MouseState Simulator::State() const {
  std::lock_guard lock(mutex_);
  return model_.State();
}

}  // namespace tolvar::mousesim
