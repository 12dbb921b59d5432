#include "oxk/Anchor.h"

#include <cctype>

#include "util/ConfinedFolder.h"

namespace oxk {

bool Anchor::GetURLForFileSource(const util::Symbol& fileName, util::Symbol& url, bool /*absolute*/) const {
  std::string notPlain;
  if (m_folder.empty() || !util::ConfinedFolder::IsPlainName(fileName.str(), notPlain)) {
    url = util::Symbol();
    return false;
  }
  std::string path;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto pending = m_pending.find(fileName);
    if (pending != m_pending.end()) {
      path = pending->second;
    }
  }
  if (path.empty()) {
    path = m_folder;
    if (path.back() != '/') {
      path += '/';
    }
    path += fileName.str();
  }
  url = util::Symbol((path[0] == '/' ? "file://" : "file:///") + path);
  return true;
}

void Anchor::SetPendingFile(const util::Symbol& fileName, const std::string& path) {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (path.empty()) {
    m_pending.erase(fileName);
  } else {
    m_pending[fileName] = path;
  }
}

std::string Anchor::FilePathFromURL(const std::string& url) {
  constexpr std::string_view kScheme = "file://";
  if (url.compare(0, kScheme.size(), kScheme) != 0) {
    return url;
  }
  std::string path = url.substr(kScheme.size());
  // "file:///" put before a path that has a slash of its own gives two.
  while (path.size() >= 2 && path[0] == '/' && path[1] == '/') {
    path.erase(0, 1);
  }
  // "/C:/x" is a drive path behind the third slash.
  if (path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) && path[2] == ':') {
    path.erase(0, 1);
  }
  return path;
}

}  // namespace oxk
