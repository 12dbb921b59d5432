// Fault injection for this test program: while armed, the N-th allocation made on the
// arming thread fails, through operator new (std::bad_alloc, or null for the nothrow
// forms) or the host's memory pools (refused). The program replaces the global operator
// new and delete to count; the module knows nothing of it. One failure per arming, so
// that what the operation does to recover may allocate again.
#pragma once

namespace faulttest {

class FailingAllocation {
 public:
  // Arms the hook: the n-th allocation from now (n >= 1) on this thread fails.
  explicit FailingAllocation(long n);
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;
  ~FailingAllocation();

  // Whether the n-th allocation came (and failed) while armed.
  [[nodiscard]] static bool Fired();
  // Writes the call stack of the last failed allocation to standard error, as addresses
  // with the names the executable exports, for a failure report.
  static void PrintWhereItFailed();
};

}  // namespace faulttest
