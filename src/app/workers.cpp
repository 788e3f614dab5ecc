#include "app/workers.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "config/button_catalogue.h"
#include "config/config_file.h"

namespace tolvar {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kFirstRetryPause{2};
constexpr milliseconds kLongestRetryPause{500};
constexpr std::size_t kMinInputReportBytes = 3;  // report id, button byte, state byte

}  // namespace

int UserMacroRepetitions(const Macro& macro) {
  if (macro.mode & kHeldModeBit) return kHeldModeRepetitions;
  if (macro.mode == 0) return 1;
  return macro.repeatCount;
}

// ---- InputReportReader ----

InputReportReader::InputReportReader(WorkerLink& link) : link_(link) {}

bool InputReportReader::InHeldMode(int button) const {
  const HostActionTarget target = HostActionFor(link_.Settings.K[button]);
  return target.action == HostAction::PlayUserMacro &&
         (link_.PlayerMacros.UserMacroMode(target.index) & kHeldModeBit) != 0;
}

void InputReportReader::HandleReport(std::span<const std::uint8_t> report) {
  if (report.size() < kMinInputReportBytes) return;
  const std::uint8_t event = report[1];
  if (event <= kButtonEventBase) return;
  const int button = link_.ButtonIndexByNumber[event - kButtonEventBase];
  if (button >= kButtonCount) return;  // no button, or logical button 6
  const bool held = InHeldMode(button);

  if (report[2] == kButtonReleased) {
    if (held) link_.StopRequest.store(1);
    return;
  }
  if (link_.PlayRequest.load() == 0) {
    // A stop raised while nothing played (a held button's release, or a
    // press that came as a pass ended) must not end the macro now starting.
    link_.StopRequest.store(0);
    link_.TriggerCode.store(event);
    link_.TriggerLevel.store(report[2]);
    link_.PlayRequest.store(1);
    link_.PlayRequest.notify_one();
  } else if (!held) {
    link_.StopRequest.store(1);
  }
}

void InputReportReader::Run(std::stop_token stop) {
  std::vector<std::uint8_t> buffer;
  milliseconds retryPause = kFirstRetryPause;
  while (!stop.stop_requested()) {
    HidInputChannel* channel = link_.Device.InputChannel.load();
    if (channel == nullptr) {
      link_.Device.InputChannel.wait(nullptr);
      continue;
    }
    buffer.resize(std::max(link_.Device.InputReportByteLength.load(), kMinInputReportBytes));
    const int read = channel->Read(buffer);
    if (read <= 0) {
      std::this_thread::sleep_for(retryPause);
      retryPause = std::min(retryPause * 2, kLongestRetryPause);
      continue;
    }
    retryPause = kFirstRetryPause;
    HandleReport(std::span<const std::uint8_t>(buffer).first(std::min<std::size_t>(read, buffer.size())));
  }
}

// ---- HostFunctionPlayer ----

HostFunctionPlayer::HostFunctionPlayer(WorkerLink& link, WindowHost& window, IniStore& ini, Clock& clock,
                                       ProgramLauncher& programs)
    : link_(link), window_(window), ini_(ini), clock_(clock), programs_(programs) {}

void HostFunctionPlayer::RunPass() {
  const std::uint8_t trigger = link_.TriggerCode.load();
  const std::uint8_t level = link_.TriggerLevel.load();
  for (int i = 0; i < kButtonCount; ++i) {
    if (static_cast<std::uint8_t>(ButtonNumberTable[i] + kButtonEventBase) != trigger) continue;
    if (link_.HostHandled[i].load()) TakeOverDpiLevel(level);
    Perform(link_.Settings.K[i]);
  }
  link_.StopRequest.store(0);
  link_.PlayRequest.store(0);
}

void HostFunctionPlayer::TakeOverDpiLevel(std::uint8_t level) {
  // The mouse reports levels 0..5; anything else would index past the
  // level tables, so it is not taken over.
  if (level >= kDpiLevelCount) return;
  link_.Settings.DpiLevel = level;
  window_.Invalidate();
  SaveDpiLevel(ini_, link_.Settings.ConfigPath, link_.Settings.CurConfig, level);
}

void HostFunctionPlayer::Perform(std::int32_t code) {
  const HostActionTarget target = HostActionFor(code);
  switch (target.action) {
    case HostAction::None:
      break;
    case HostAction::ConsumerKey: {
      const std::uint16_t usage = ConsumerUsage(target.index);
      link_.Reporter.Send([usage](std::span<std::uint8_t> report) { compose::ConsumerKey(report, usage); });
      break;
    }
    case HostAction::PlayFixedMacro:
      Play(link_.PlayerMacros.FixedMacro(target.index), 1);
      break;
    case HostAction::StartCalculator:
      programs_.Start(SystemProgram::Calculator);
      break;
    case HostAction::StartTerminal:
      programs_.Start(SystemProgram::Terminal);
      break;
    case HostAction::PlayUserMacro: {
      const Macro macro = link_.PlayerMacros.UserMacro(target.index);
      Play(macro, UserMacroRepetitions(macro));
      break;
    }
  }
}

void HostFunctionPlayer::Play(const Macro& macro, int repetitions) {
  EventSchedule schedule(clock_, learned_, finish_);
  // The release waits once before its first report and once after it.
  bool releaseSent = false;
  const InputState::Sleep releaseWait = [&schedule, &releaseSent](int ms) {
    releaseSent ? schedule.AfterReport(ms) : schedule.Extend(ms);
    releaseSent = !releaseSent;
  };
  for (int repetition = 0; repetition < repetitions; ++repetition) {
    for (int e = 0; e < macro.eventCount; ++e) {
      const MacroEvent& event = macro.events[e];
      input_.SendKeyState(link_.Reporter, event.code, event.action);
      schedule.AfterReport(std::max<int>(event.delay, kMinEventWaitMs));
    }
    input_.ReleaseAllInputs(link_.Reporter, releaseWait);
    if (link_.StopRequest.load() == 1 || stop_.stop_requested()) break;
  }
}

void HostFunctionPlayer::Run(std::stop_token stop) {
  stop_ = stop;
  // A stop wakes the wait below; the pass it would start is skipped.
  std::stop_callback wake(stop, [this] {
    link_.PlayRequest.store(1);
    link_.PlayRequest.notify_all();
  });
  while (!stop.stop_requested()) {
    link_.PlayRequest.wait(0);
    if (stop.stop_requested()) break;
    RunPass();
  }
}

// ---- Workers ----

Workers::Workers(WorkerLink& link, WorkerPorts ports)
    : reader_(link),
      player_(link, ports.window, ports.ini, ports.clock, ports.programs),
      readerThread_([this, priority = ports.threadPriority](std::stop_token stop) {
        if (priority != nullptr) priority->RaiseCurrentThread();
        reader_.Run(stop);
      }),
      playerThread_([this, priority = ports.threadPriority](std::stop_token stop) {
        if (priority != nullptr) player_.UseWaitFinish(WaitFinishFor(priority->RaiseCurrentThread()));
        player_.Run(stop);
      }) {}

Workers::~Workers() = default;

std::unique_ptr<Workers> StartWorkers(WorkerLink& link, WorkerPorts ports) {
  return std::make_unique<Workers>(link, std::move(ports));
}

}  // namespace tolvar
