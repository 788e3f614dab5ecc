// When the player sends each report of a macro. Each gap between two
// reports as the mouse gets them is at least the wait between them, never
// shorter, and the time it takes to wake and send does not add up over the
// macro.
//
// The mouse has a report when its send returns, less the part that every
// send takes (the quickest send timed so far; the first send, with nothing
// to compare, counts whole). What a send usually costs is absorbed by the
// wait after it; what a slow send or a late wake-up adds beyond that moves
// the rest of the macro later instead of shortening the next gap. So reports
// never come in a burst, not even after a stall (a suspend).
//
// How a wait ends depends on the thread:
// - Sleep (any priority): timers fire late by some least amount; the
//   schedule wakes that much ahead of each deadline (the quickest lateness
//   seen, at most 200 µs) and, woken before the deadline all the same,
//   sleeps on to it. Each wake-up's lateness beyond the least is lost.
// - Spin (real-time threads only, which nothing preempts): the schedule
//   sleeps to a margin before the deadline and waits out the rest without
//   sleeping, so the report leaves at its deadline. The margin follows the
//   latest wake-ups seen (a late one raises it at once, then it sinks back
//   slowly) and never exceeds kLongestSpin, so no wait holds a core longer.
#pragma once

#include <chrono>
#include <optional>

#include "ports/clock.h"
#include "ports/thread_priority.h"

namespace tolvar {

enum class WaitFinish { Sleep, Spin };

// Spinning is for threads that run whenever they are ready: a thread of
// normal priority may be preempted in the spin and gain nothing by it.
WaitFinish WaitFinishFor(const PriorityGrant& grant);

class EventSchedule {
 public:
  using Duration = Clock::TimePoint::duration;
  static constexpr Duration kLongestWakeAhead = std::chrono::microseconds(200);
  static constexpr Duration kLongestSpin = std::chrono::microseconds(500);
  static constexpr Duration kFirstSpinMargin = std::chrono::microseconds(200);

  // What the schedule learns of the send path and the timer, kept by the
  // player from macro to macro.
  struct Learned {
    std::optional<Duration> quickestSend;
    std::optional<Duration> wakeAhead;     // Sleep: the least lateness seen
    std::optional<Duration> latenessPeak;  // Spin: the recent late wake-ups, decaying
  };

  EventSchedule(Clock& clock, Learned& learned, WaitFinish finish);

  // Called right after a report was sent: returns when the next may go.
  void AfterReport(int waitMs);

  // A further wait with no report since the last one: counted on from the
  // last deadline, so a late wake-up in the wait before is absorbed.
  void Extend(int waitMs);

  // How long before a deadline a spinning schedule wakes, from what it learned.
  static Duration SpinMargin(const Learned& learned);

 private:
  void WaitUntil(Clock::TimePoint deadline);
  Clock::TimePoint SleepFinish(Clock::TimePoint deadline);
  Clock::TimePoint SpinFinish(Clock::TimePoint deadline);

  Clock& clock_;
  Learned& learned_;
  WaitFinish finish_;
  Clock::TimePoint deadline_;   // when the last report was due
  Clock::TimePoint sendStart_;  // when the last wait ended, so the next send began
};

}  // namespace tolvar
