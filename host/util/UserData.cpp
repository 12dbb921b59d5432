#include "util/UserData.h"

#include <mutex>
#include <unordered_map>

namespace util {

int32_t UserData::GetId(const Symbol& kind) {
  static std::mutex mutex;
  static std::unordered_map<Symbol, int32_t> ids;
  std::lock_guard<std::mutex> guard(mutex);
  auto [it, added] = ids.emplace(kind, static_cast<int32_t>(ids.size() + 1));
  return it->second;
}

}  // namespace util
