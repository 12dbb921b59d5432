#include "util/Symbol.h"

#include <array>
#include <mutex>
#include <string_view>
#include <unordered_set>

namespace util {
namespace {

struct TransparentHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
};

// Sharded so that threads interning different texts rarely meet on one mutex.
// Node-based sets keep stored strings at stable addresses.
struct Shard {
  std::mutex mutex;
  std::unordered_set<std::string, TransparentHash, std::equal_to<>> texts;
};

struct Table {
  std::array<Shard, 16> shards;
};

Table& GetTable() {
  // Never destroyed: symbols in other static objects may outlive any destructor order.
  static Table* table = new Table();
  return *table;
}

}  // namespace

Symbol::Symbol(const char* text) : m_text(text != nullptr && *text != '\0' ? Intern(text) : nullptr) {}

Symbol::Symbol(const std::string& text) : m_text(text.empty() ? nullptr : Intern(text)) {}

Symbol::Symbol(std::string_view text) : m_text(text.empty() ? nullptr : Intern(text)) {}

const std::string* Symbol::Intern(std::string_view text) {
  const size_t hash = std::hash<std::string_view>()(text);
  Shard& shard = GetTable().shards[hash % 16];
  std::lock_guard<std::mutex> guard(shard.mutex);
  auto found = shard.texts.find(text);
  if (found != shard.texts.end()) {
    return &*found;
  }
  return &*shard.texts.emplace(text).first;
}

}  // namespace util
