// The two background workers that run from start-up on: the input-report
// reader turns the mouse's button reports into requests, and the
// host-function player carries out what the program does for a button
// (macros, consumer keys, the two desktop programs, the DPI take-over).
//
// They share only the WorkerLink (app/worker_link.h, with its thread rules).
// Neither thread polls: the reader blocks in its read (or waits for the input
// channel to be published), the player waits on PlayRequest.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

#include "app/event_schedule.h"
#include "app/worker_link.h"
#include "ports/clock.h"
#include "ports/ini_store.h"
#include "ports/program_launcher.h"
#include "ports/thread_priority.h"
#include "ports/window_host.h"

namespace tolvar {

constexpr std::uint8_t kButtonEventBase = 0xF0;  // byte 1: 0xF0 + device button number
constexpr std::uint8_t kButtonReleased = 0x80;   // byte 2 of a release
constexpr int kHeldModeRepetitions = 10000;
constexpr int kMinEventWaitMs = 10;

// Reads the mouse's input reports and raises requests for the player.
class InputReportReader {
 public:
  explicit InputReportReader(WorkerLink& link);

  // The rule for one report as read (byte 0 the report id).
  void HandleReport(std::span<const std::uint8_t> report);

  // Reads forever, until `stop` is requested and the read in progress (or
  // the wait for a channel to be published) has returned. A failed read is
  // retried after a pause that grows from 2 ms to half a second.
  void Run(std::stop_token stop);

 private:
  bool InHeldMode(int button) const;

  WorkerLink& link_;
};

// Carries out the host functions of the button that raised a request.
class HostFunctionPlayer {
 public:
  HostFunctionPlayer(WorkerLink& link, WindowHost& window, IniStore& ini, Clock& clock, ProgramLauncher& programs);

  // One pass for the pending request: the DPI take-over and the host action
  // of the button whose number TriggerCode names; then both flags cleared.
  void RunPass();

  // How the macro waits end on this player's thread (WaitFinishFor its
  // priority); Sleep until told otherwise.
  void UseWaitFinish(WaitFinish finish) { finish_ = finish; }

  // Waits for requests and runs a pass for each, until `stop` is requested.
  void Run(std::stop_token stop);

 private:
  void Perform(std::int32_t code);
  void Play(const Macro& macro, int repetitions);
  void TakeOverDpiLevel(std::uint8_t level);

  WorkerLink& link_;
  WindowHost& window_;
  IniStore& ini_;
  Clock& clock_;
  ProgramLauncher& programs_;
  InputState input_;
  EventSchedule::Learned learned_;  // kept from macro to macro
  WaitFinish finish_ = WaitFinish::Sleep;
  std::stop_token stop_;  // of Run; a stop also ends a playing macro after its repetition
};

// How many repetitions a user macro plays: 10000 while held, 1 for mode 0,
// otherwise its repeat count.
int UserMacroRepetitions(const Macro& macro);

struct WorkerPorts {
  WindowHost& window;
  IniStore& ini;
  Clock& clock;
  ProgramLauncher& programs;
  // Asked first on the reader's and the player's thread for the highest
  // priority; may be null.
  ThreadPriority* threadPriority = nullptr;
};

// The running reader and player. They are meant to run until the process
// ends. Destroying this object stops them: the player at once (after the
// macro it plays), the reader once its read in progress returns, so it may
// only be destroyed when the input channel's read can return.
class Workers {
 public:
  Workers(WorkerLink& link, WorkerPorts ports);
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

 private:
  InputReportReader reader_;
  HostFunctionPlayer player_;
  std::jthread readerThread_;
  std::jthread playerThread_;
};

// Start-up step 3: starts the reader, then the player.
std::unique_ptr<Workers> StartWorkers(WorkerLink& link, WorkerPorts ports);

}  // namespace tolvar
