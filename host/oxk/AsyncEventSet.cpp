#include "oxk/AsyncEventSet.h"

namespace oxk {

// Reports its completion to the set; holds the set until then.
class AsyncEventSet::Member : public AsyncEvent {
 public:
  explicit Member(AsyncEventSet* set) : m_set(set), m_hold(set) {}

 protected:
  ~Member() override = default;
  void OnComplete(int status) override {
    const util::SmartPtr<AsyncEventSet> set = std::move(m_hold);
    m_set->MemberDone(*this, status);
  }

 private:
  friend class AsyncEventSet;
  AsyncEventSet* const m_set;
  util::SmartPtr<AsyncEventSet> m_hold;  // dropped once the member completed
  // Both under the set's lock.
  bool m_added = false;
  bool m_done = false;
};

util::SmartPtr<AsyncEvent> AsyncEventSet::CreateNewEvent() {
  return util::SmartPtr<AsyncEvent>(new Member(this));
}

bool AsyncEventSet::AddEvent(const util::SmartPtr<AsyncEvent>& event) {
  auto* member = dynamic_cast<Member*>(event.get());
  if (member == nullptr || IsComplete()) {
    return false;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  if (member->m_added || member->m_done || member->m_set != this) {
    return false;
  }
  member->m_added = true;
  ++m_pending;
  return true;
}

int AsyncEventSet::GetPendingCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_pending;
}

void AsyncEventSet::MemberDone(Member& member, int status) {
  int finalStatus = 0;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    member.m_done = true;
    if (!member.m_added) {
      return;
    }
    if (status != 0 && m_firstFailure == 0) {
      m_firstFailure = status;
    }
    if (--m_pending > 0) {
      return;
    }
    finalStatus = m_firstFailure;
  }
  Complete(finalStatus);
}

}  // namespace oxk
