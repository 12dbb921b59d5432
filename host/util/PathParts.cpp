#include "util/PathParts.h"

#include <cctype>

namespace util {

FileSpec::FileSpec(const std::string& path) {
  size_t cut = std::string::npos;
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) {
      cut = i - 1;
      break;
    }
  }
  std::string file = path;
  if (cut != std::string::npos) {
    SetLocation(cut == 0 ? path.substr(0, 1) : path.substr(0, cut));
    file = path.substr(cut + 1);
  }
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos || dot == 0) {
    m_baseName = file;
    return;
  }
  m_baseName = file.substr(0, dot);
  m_extension = file.substr(dot + 1);
}

void FileSpec::SetLocation(const std::string& location) {
  m_location = location;
  while (m_location.size() > 1 && IsSeparator(m_location.back())) {
    m_location.pop_back();
  }
}

void FileSpec::DirPushBack(const std::string& folder) {
  m_folders.push_back(folder);
}

std::string FileSpec::GetLocation(bool withTrailingSeparator) const {
  std::string result = m_location;
  for (const std::string& folder : m_folders) {
    if (!result.empty() && !IsSeparator(result.back())) {
      result += DIR_SEP_CHAR;
    }
    result += folder;
  }
  if (withTrailingSeparator && !result.empty() && !IsSeparator(result.back())) {
    result += DIR_SEP_CHAR;
  }
  return result;
}

std::string FileSpec::GetFile() const {
  if (m_extension.empty()) {
    return m_baseName;
  }
  return m_baseName + "." + m_extension;
}

std::string FileSpec::GetFileSpec() const {
  const std::string file = GetFile();
  if (file.empty()) {
    return GetLocation(false);
  }
  return GetLocation(true) + file;
}

bool FileSpec::IsAbsolute(std::string_view path) {
  if (path.empty()) {
    return false;
  }
  if (IsSeparator(path[0])) {
    return true;
  }
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         IsSeparator(path[2]);
}

}  // namespace util
