#include "oxk/Anchor.h"

#include <cctype>

namespace oxk {

bool Anchor::GetURLForFileSource(const util::Symbol& fileName, util::Symbol& url, bool /*absolute*/) const {
  if (m_folder.empty()) {
    url = util::Symbol();
    return false;
  }
  std::string path = m_folder;
  if (path.back() != '/') {
    path += '/';
  }
  path += fileName.str();
  url = util::Symbol((path[0] == '/' ? "file://" : "file:///") + path);
  return true;
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
