#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "util/Symbol.h"
#include "util/UserData.h"

namespace {

TEST(Symbol, EqualTextsShareOneStoredCopy) {
  const std::string text = "interned-text";
  util::Symbol a(text);
  util::Symbol b("interned-text");
  EXPECT_TRUE(a == b);
  EXPECT_EQ(a.c_str(), b.c_str());
  EXPECT_TRUE(a == "interned-text");
  EXPECT_FALSE(a == "interned-tex");
  EXPECT_EQ(a.length(), text.size());
  EXPECT_EQ(std::string(a), text);
}

TEST(Symbol, EmptySymbolHasNoTextButSafeCStrIsEmpty) {
  util::Symbol empty;
  EXPECT_EQ(empty.c_str(), nullptr);
  EXPECT_STREQ(empty.safe_c_str(), "");
  EXPECT_TRUE(empty == util::Symbol(""));
  EXPECT_TRUE(empty == "");
  EXPECT_TRUE(empty == static_cast<const char*>(nullptr));
  EXPECT_EQ(empty.length(), 0u);
}

TEST(Symbol, InterningFromManyThreadsGivesOneIdentityPerText) {
  constexpr int kThreads = 4;
  constexpr int kTexts = 2000;
  std::vector<std::vector<const char*>> seen(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &seen] {
      for (int i = 0; i < kTexts; ++i) {
        seen[t].push_back(util::Symbol("threaded-" + std::to_string(i)).c_str());
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  for (int t = 1; t < kThreads; ++t) {
    EXPECT_EQ(seen[t], seen[0]);
  }
  EXPECT_EQ(std::set<const char*>(seen[0].begin(), seen[0].end()).size(), static_cast<size_t>(kTexts));
}

TEST(UserData, SameKindSameIdDifferentKindDifferentId) {
  const int32_t a = util::UserData::GetId(util::Symbol("kind-a"));
  const int32_t b = util::UserData::GetId(util::Symbol("kind-b"));
  EXPECT_NE(a, b);
  EXPECT_EQ(util::UserData::GetId(util::Symbol("kind-a")), a);
}

}  // namespace
