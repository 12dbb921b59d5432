#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "util/RefCounted.h"
#include "util/SmartPtr.h"

namespace {

std::atomic<int> g_destroyed{0};

class Counted : public util::RefCounted {
 public:
  ~Counted() override { ++g_destroyed; }
};

class Derived : public Counted {};

// Refuses destruction once; the refusal keeps the object alive with one reference.
class Reluctant : public util::RefCounted {
 public:
  bool ZeroReferenceCountHook() override {
    ++asked;
    return agree;
  }
  ~Reluctant() override { ++g_destroyed; }
  int asked = 0;
  bool agree = false;
};

class VirtualBase : public virtual util::RefCounted {};
class OtherVirtualBase : public virtual util::RefCounted {};
class Diamond : public VirtualBase, public OtherVirtualBase {
 public:
  ~Diamond() override { ++g_destroyed; }
};

TEST(RefCounted, LastReleaseDestroysThroughVirtualDestructor) {
  g_destroyed = 0;
  {
    util::SmartPtr<Counted> a(new Derived());
    util::SmartPtr<Counted> b = a;
    EXPECT_EQ(a->GetReferenceCount(), 2);
    a.Reset();
    EXPECT_EQ(g_destroyed, 0);
    EXPECT_FALSE(a);
  }
  EXPECT_EQ(g_destroyed, 1);
}

TEST(RefCounted, HookThatRefusesKeepsObjectAlive) {
  g_destroyed = 0;
  auto* raw = new Reluctant();
  { util::SmartPtr<Reluctant> p(raw); }
  EXPECT_EQ(raw->asked, 1);
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(raw->GetReferenceCount(), 1);  // the reference added back for the hook
  raw->agree = true;
  EXPECT_TRUE(util::RefCounted::ReleaseReference(raw, nullptr));
  EXPECT_EQ(g_destroyed, 1);
}

TEST(SmartPtr, AssignmentTakesNewReferenceBeforeReleasingOld) {
  g_destroyed = 0;
  util::SmartPtr<Counted> p(new Counted());
  util::SmartPtr<Counted>& alias = p;
  p = alias;  // self-assignment must not destroy
  EXPECT_TRUE(p);
  p = p.get();
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(p->GetReferenceCount(), 1);
}

TEST(SmartPtr, ConvertsComparesAndMoves) {
  g_destroyed = 0;
  util::SmartPtr<Derived> derived(new Derived());
  util::SmartPtr<Counted> base = derived;
  util::SmartPtr<util::RefCounted> root = base;
  EXPECT_TRUE(base == derived);
  EXPECT_EQ(derived->GetReferenceCount(), 3);
  util::SmartPtr<Counted> moved = std::move(base);
  EXPECT_FALSE(base);
  EXPECT_EQ(derived->GetReferenceCount(), 3);
  EXPECT_EQ(util::DynamicCast<Derived>(moved).get(), derived.get());
  root.Reset();
  moved.Reset();
  derived.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST(SmartPtr, VirtualBaseHeldThroughEitherPath) {
  g_destroyed = 0;
  util::SmartPtr<Diamond> d(new Diamond());
  util::SmartPtr<util::RefCounted> asRoot = d;
  util::SmartPtr<VirtualBase> asBase = d;
  util::SmartPtr<OtherVirtualBase> asOther = d;
  d.Reset();
  asBase.Reset();
  asOther.Reset();
  EXPECT_EQ(g_destroyed, 0);
  asRoot.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST(SmartPtr, CountsStayExactAcrossThreads) {
  g_destroyed = 0;
  util::SmartPtr<Counted> shared(new Counted());
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([shared] {
      for (int i = 0; i < 10000; ++i) {
        util::SmartPtr<Counted> copy = shared;
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(shared->GetReferenceCount(), 1);
  shared.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

}  // namespace
