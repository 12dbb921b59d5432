// Makes the relative file locations stored in library files absolute, for the entries
// of one library (shared, standard or the user's). The host settings are read once per
// resolver, so a whole file or a whole picker list resolves without asking again.
#pragma once

#include <string>
#include <string_view>

namespace oxsymbols::detail {

class UrlResolver {
 public:
  UrlResolver(bool isShared, bool isStandard);

  // An absolute url stays as it is; a relative one is joined to the folder that holds
  // the library folder, with forward slashes only.
  void Resolve(std::string& url) const;
  // url = text resolved; false (url untouched) when there is no text (null).
  bool ReadUrl(const char* text, std::string& url) const;

 private:
  // out = the relative url joined to the base.
  void Join(std::string_view url, std::string& out) const;

  bool m_isStandard;
  // The folder urls are joined to, as given and as a normalised location; both with
  // forward slashes.
  std::string m_base;
  std::string m_normalisedBase;
};

}  // namespace oxsymbols::detail
