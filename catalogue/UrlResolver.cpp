#include "catalogue/UrlResolver.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "catalogue/HostSettings.h"
#include "util/PathParts.h"

namespace oxsymbols::detail {

namespace {

constexpr char SEP = util::FileSpec::DIR_SEP_CHAR;

bool HasBackslash(std::string_view path) {
  return !path.empty() && std::memchr(path.data(), '\\', path.size()) != nullptr;
}

// True when splitting the path into folder and file and joining them again gives the
// same text: no empty components, no trailing separator, no file name ending in a dot.
// Urls rarely hold backslashes; without them only the few forward slashes are visited.
bool IsPlainPath(std::string_view path, bool hasBackslash) {
  if (path.empty() || util::FileSpec::IsSeparator(path.back()) || path.back() == '.') {
    return false;
  }
  if (!hasBackslash) {
    // The last byte is no separator, so a slash always has a next byte.
    for (size_t at = path.find('/'); at != std::string_view::npos; at = path.find('/', at + 1)) {
      if (path[at + 1] == '/') {
        return false;
      }
    }
    return true;
  }
  for (size_t i = 1; i < path.size(); ++i) {
    if (util::FileSpec::IsSeparator(path[i]) && util::FileSpec::IsSeparator(path[i - 1])) {
      return false;
    }
  }
  return true;
}

}  // namespace

UrlResolver::UrlResolver(bool isShared, bool isStandard) : m_isStandard(isStandard) {
  if (isShared) {
    m_base = GetSharedCacheFolder();
  } else {
    (void)GetIllustrationBaseUrl(m_base);
  }
  m_normalisedBase = NormalisedLocation(m_base);
  // Every resolved url has forward slashes only, so the bases get them once here.
  NormaliseSlashes(m_base);
  NormaliseSlashes(m_normalisedBase);
}

void UrlResolver::Resolve(std::string& url) const {
  if (util::FileSpec::IsAbsolute(url)) {
    return;
  }
  std::string resolved;
  Join(url, resolved);
  url.swap(resolved);
}

void UrlResolver::Join(std::string_view url, std::string& out) const {
  const bool hasBackslash = HasBackslash(url);
  if (m_isStandard && !IsPlainPath(url, hasBackslash)) {
    // Standard urls are split into folder and file and joined again.
    const util::FileSpec parts{std::string(url)};
    out = m_base + SEP + parts.GetLocation(true) + parts.GetFile();
    NormaliseSlashes(out);
    return;
  }
  // A plain path splits and joins back to itself, so it is appended as it is; the base
  // already has forward slashes, so only the appended part is normalised.
  const std::string& base = m_isStandard ? m_base : m_normalisedBase;
  out.clear();
  out.reserve(base.size() + 1 + url.size());
  out += base;
  out += '/';
  const size_t appended = out.size();
  out += url;
  if (hasBackslash) {
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(appended), out.end(), '\\', '/');
  }
}

bool UrlResolver::ReadUrl(const char* text, std::string& url) const {
  if (text == nullptr) {
    return false;
  }
  // Built straight from the attribute text: one allocation per url.
  if (util::FileSpec::IsAbsolute(text)) {
    url.assign(text);
  } else {
    Join(text, url);
  }
  return true;
}

}  // namespace oxsymbols::detail
