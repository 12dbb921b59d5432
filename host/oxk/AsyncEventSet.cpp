#include "oxk/AsyncEventSet.h"

namespace oxk {

// Reports its completion to the set; holds the set until then.
class AsyncEventSet::Member : public AsyncEvent {
 public:
  explicit Member(AsyncEventSet* set) : m_set(set) {}

 protected:
  ~Member() override = default;
  void OnComplete(int status) override {
    util::SmartPtr<AsyncEventSet> set = std::move(m_set);
    if (set) {
      set->MemberDone(status);
    }
  }

 private:
  util::SmartPtr<AsyncEventSet> m_set;
};

util::SmartPtr<AsyncEvent> AsyncEventSet::CreateNewEvent() {
  if (IsComplete()) {
    return util::SmartPtr<AsyncEvent>(new Member(nullptr));
  }
  m_pending.fetch_add(1);
  return util::SmartPtr<AsyncEvent>(new Member(this));
}

void AsyncEventSet::MemberDone(int status) {
  if (status != 0) {
    int expected = 0;
    m_firstFailure.compare_exchange_strong(expected, status);
  }
  if (m_pending.fetch_sub(1) == 1) {
    Complete(m_firstFailure.load());
  }
}

}  // namespace oxk
