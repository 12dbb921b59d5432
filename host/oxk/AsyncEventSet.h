// An event that completes when every member event created through it has completed.
// Its status is the first non-zero status of a member, or 0.
#pragma once

#include <atomic>

#include "oxk/AsyncEvent.h"
#include "util/SmartPtr.h"

namespace oxk {

class AsyncEventSet : public AsyncEvent {
 public:
  AsyncEventSet() = default;

  // A new member; the set waits for it. Members made after the set completed are not
  // waited for.
  [[nodiscard]] util::SmartPtr<AsyncEvent> CreateNewEvent();
  [[nodiscard]] int GetPendingCount() const { return m_pending.load(); }

 protected:
  ~AsyncEventSet() override = default;

 private:
  class Member;
  void MemberDone(int status);

  std::atomic<int> m_pending{0};
  std::atomic<int> m_firstFailure{0};
};

}  // namespace oxk
