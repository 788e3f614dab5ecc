// Raising a worker thread's priority: the core asks for the highest
// priority the platform grants the calling thread; the adapter decides how
// to get it and tells what it got.
#pragma once

#include <string>

namespace tolvar {

struct PriorityGrant {
  enum class Kind {
    Normal,       // nothing changed
    Nice,         // a lower nice value; `level` is the nice value
    RealtimeKit,  // real-time scheduling granted by the desktop's service; `level` is its priority
    Fifo,         // real-time scheduling set by the process itself; `level` is its priority
  };
  Kind kind = Kind::Normal;
  int level = 0;
};

// "real-time 10 (RealtimeKit)", "real-time 10 (SCHED_FIFO)", "nice -5", "normal".
inline std::string Describe(const PriorityGrant& grant) {
  switch (grant.kind) {
    case PriorityGrant::Kind::RealtimeKit:
      return "real-time " + std::to_string(grant.level) + " (RealtimeKit)";
    case PriorityGrant::Kind::Fifo:
      return "real-time " + std::to_string(grant.level) + " (SCHED_FIFO)";
    case PriorityGrant::Kind::Nice:
      return "nice " + std::to_string(grant.level);
    case PriorityGrant::Kind::Normal:
      break;
  }
  return "normal";
}

class ThreadPriority {
 public:
  virtual ~ThreadPriority() = default;
  // Gives the calling thread the highest priority available and returns
  // what was granted. Never fails: at worst the priority stays as it was.
  // A thread raised this way must only block or sleep, never spin.
  virtual PriorityGrant RaiseCurrentThread() = 0;
};

}  // namespace tolvar
