#include "conc/OxInfo.h"

#include <mutex>

namespace conc {
namespace {
std::mutex g_mutex;
util::Symbol g_sharedCachePrefsDir;
}  // namespace

bool OxInfo::GetOrrinSharedCachePrefsDir(util::Symbol& folder) {
  std::lock_guard<std::mutex> guard(g_mutex);
  folder = g_sharedCachePrefsDir;
  return !folder.empty();
}

void OxInfo::SetOrrinSharedCachePrefsDir(util::Symbol folder) {
  std::lock_guard<std::mutex> guard(g_mutex);
  g_sharedCachePrefsDir = folder;
}

}  // namespace conc
