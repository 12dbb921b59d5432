#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "conc/ReadGuard.h"
#include "conc/ReadWriteLock.h"
#include "conc/WriteGuard.h"

// These tests take the lock again on purpose, which clang's lock analysis reports.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wthread-safety-analysis"
#endif

namespace {

using namespace std::chrono_literals;

TEST(ReadWriteLock, HolderMayTakeItAgainInEveryMode) {
  conc::ReadWriteLock lock;
  {
    conc::WriteGuard w(lock);
    conc::WriteGuard w2(lock);
    conc::ReadGuard r(lock);
    EXPECT_TRUE(lock.IsWriteLockedByCurrentThread());
  }
  {
    conc::ReadGuard r(lock);
    conc::ReadGuard r2(lock);
    conc::WriteGuard upgrade(lock);  // write while holding read, no other reader
    EXPECT_TRUE(lock.IsWriteLockedByCurrentThread());
  }
  EXPECT_FALSE(lock.IsWriteLockedByCurrentThread());
  EXPECT_FALSE(lock.IsReadLockedByCurrentThread());
}

TEST(ReadWriteLock, UpgradeWaitsForReaderOnAnotherThreadWithoutLosingTheWrite) {
  conc::ReadWriteLock lock;
  int value = 0;
  std::atomic<bool> readerIn{false};
  std::atomic<bool> releaseReader{false};
  std::atomic<int> seenByReader{-1};
  std::thread reader([&] {
    conc::ReadGuard r(lock);
    readerIn = true;
    while (!releaseReader) {
      std::this_thread::sleep_for(1ms);
    }
    seenByReader = value;
  });
  while (!readerIn) {
    std::this_thread::sleep_for(1ms);
  }
  std::atomic<bool> written{false};
  std::thread writer([&] {
    conc::ReadGuard r(lock);  // this thread reads, then wants to write
    conc::WriteGuard w(lock);
    value = 42;
    written = true;
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(written);  // must wait for the other reader
  releaseReader = true;
  reader.join();
  writer.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(seenByReader, 0);
  EXPECT_EQ(value, 42);
}

TEST(ReadWriteLock, ReentrantReadIsNotBlockedByQueuedWriter) {
  conc::ReadWriteLock lock;
  lock.ReadLock();
  std::atomic<bool> writerDone{false};
  std::thread writer([&] {
    conc::WriteGuard w(lock);
    writerDone = true;
  });
  std::this_thread::sleep_for(20ms);  // let the writer queue up
  lock.ReadLock();                    // would deadlock if queued writers blocked re-entry
  lock.ReadUnlock();
  EXPECT_FALSE(writerDone);
  lock.ReadUnlock();
  writer.join();
  EXPECT_TRUE(writerDone);
}

TEST(ReadWriteLock, WritersExcludeEachOtherUnderLoad) {
  conc::ReadWriteLock lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        if (i % 3 == 0) {
          conc::ReadGuard r(lock);
          EXPECT_GE(counter, 0);
          continue;
        }
        conc::WriteGuard w(lock);
        conc::ReadGuard r(lock);
        ++counter;
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(counter, 4 * (2000 - 667));
}

}  // namespace
