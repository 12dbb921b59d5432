// An event that completes when every member event added to it has completed. Members
// are made with CreateNewEvent and counted once added with AddEvent, so a caller can add
// a guard member first, start the real ones, and complete the guard last. Its status is
// the first non-zero status of a member, or 0.
#pragma once

#include <mutex>

#include "orrinsymbols/oxk/AsyncEvent.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class AsyncEventSet : public AsyncEvent {
 public:
  AsyncEventSet() = default;

  // A new member of this set, not yet waited for (see AddEvent).
  [[nodiscard]] util::SmartPtr<AsyncEvent> CreateNewEvent();
  // The set waits for member from now on. False when member is not one of this set's,
  // was added already, has completed already, or the set has completed.
  bool AddEvent(const util::SmartPtr<AsyncEvent>& member);
  [[nodiscard]] int GetPendingCount() const;

 protected:
  ~AsyncEventSet() override = default;

 private:
  class Member;
  // A member completed; completes the set when it was the last one waited for.
  void MemberDone(Member& member, int status);

  mutable std::mutex m_mutex;
  int m_pending = 0;
  int m_firstFailure = 0;
};

}  // namespace oxk
