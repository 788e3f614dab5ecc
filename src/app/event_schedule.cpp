#include "app/event_schedule.h"

#include <algorithm>

namespace tolvar {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// Added to the recent lateness: a wake-up a little later than any recent
// one still leaves in time.
constexpr EventSchedule::Duration kSpinPad = microseconds(50);
// How fast the remembered lateness sinks back after a late wake-up: by this
// part of the difference at each wake-up.
constexpr int kPeakDecay = 32;

}  // namespace

WaitFinish WaitFinishFor(const PriorityGrant& grant) {
  switch (grant.kind) {
    case PriorityGrant::Kind::RealtimeKit:
    case PriorityGrant::Kind::Fifo:
      return WaitFinish::Spin;
    case PriorityGrant::Kind::Nice:
    case PriorityGrant::Kind::Normal:
      break;
  }
  return WaitFinish::Sleep;
}

EventSchedule::EventSchedule(Clock& clock, Learned& learned, WaitFinish finish)
    : clock_(clock), learned_(learned), finish_(finish), deadline_(clock.Now()), sendStart_(deadline_) {}

void EventSchedule::AfterReport(int waitMs) {
  const Clock::TimePoint sent = clock_.Now();
  const Duration took = sent - sendStart_;
  const Duration absorbed = learned_.quickestSend ? std::min(*learned_.quickestSend, took) : Duration::zero();
  learned_.quickestSend = std::min(learned_.quickestSend.value_or(took), took);
  WaitUntil(std::max(deadline_, sent - absorbed) + milliseconds(waitMs));
}

void EventSchedule::Extend(int waitMs) { WaitUntil(deadline_ + milliseconds(waitMs)); }

EventSchedule::Duration EventSchedule::SpinMargin(const Learned& learned) {
  if (!learned.latenessPeak) return kFirstSpinMargin;
  return std::min(*learned.latenessPeak + kSpinPad, kLongestSpin);
}

void EventSchedule::WaitUntil(Clock::TimePoint deadline) {
  deadline_ = deadline;
  sendStart_ = finish_ == WaitFinish::Spin ? SpinFinish(deadline) : SleepFinish(deadline);
}

Clock::TimePoint EventSchedule::SleepFinish(Clock::TimePoint deadline) {
  const Clock::TimePoint wake = deadline - learned_.wakeAhead.value_or(Duration::zero());
  const bool timed = clock_.Now() < wake;  // only a wake-up still ahead tells the timer's lateness
  clock_.SleepUntil(wake);
  Clock::TimePoint woke = clock_.Now();
  if (timed) {
    learned_.wakeAhead = std::min({learned_.wakeAhead.value_or(kLongestWakeAhead), woke - wake, kLongestWakeAhead});
  }
  if (woke < deadline) {
    clock_.SleepUntil(deadline);
    woke = clock_.Now();
  }
  return woke;
}

Clock::TimePoint EventSchedule::SpinFinish(Clock::TimePoint deadline) {
  Clock::TimePoint now = clock_.Now();
  if (deadline - now > SpinMargin(learned_)) {
    const Clock::TimePoint wake = deadline - SpinMargin(learned_);
    clock_.SleepUntil(wake);
    now = clock_.Now();
    // A stall (a suspend) counts as the longest spin, so the margin sinks
    // back soon after it.
    const Duration late = std::clamp(now - wake, Duration::zero(), kLongestSpin);
    const Duration peak = learned_.latenessPeak.value_or(late);
    learned_.latenessPeak = late >= peak ? late : peak - (peak - late) / kPeakDecay;
  }
  if (now < deadline) {
    // Never longer than kLongestSpin, whatever the clock did; a timer that
    // woke far too early sleeps on instead.
    clock_.SpinUntil(std::min(deadline, now + kLongestSpin));
    now = clock_.Now();
    if (now < deadline) {
      clock_.SleepUntil(deadline);
      now = clock_.Now();
    }
  }
  return now;
}

}  // namespace tolvar
