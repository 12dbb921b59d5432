#include "util/Localizer.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>

namespace util {

namespace detail {
std::vector<std::string> SplitFormat(const char* format) {
  std::vector<std::string> conversions;
  if (format == nullptr) {
    return conversions;
  }
  const std::string text(format);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && std::string_view("diouxXeEfFgGaAcsp").find(text[end]) == std::string_view::npos) {
      ++end;
    }
    if (end == text.size()) {
      break;
    }
    conversions.push_back(text.substr(i, end - i + 1));
    i = end;
  }
  return conversions;
}
}  // namespace detail

std::string Localizer::GetResourceFolder() {
  if (const char* overridden = std::getenv("OXHOST_RESOURCES"); overridden != nullptr && *overridden != '\0') {
    return overridden;
  }
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&Localizer::GetResourceFolder), &info) != 0 && info.dli_fname != nullptr) {
    const std::filesystem::path folder = std::filesystem::path(info.dli_fname).parent_path();
    std::error_code error;
    // Built: beside the library. Installed: in the data folder of the prefix.
    if (std::filesystem::is_directory(folder / "resources", error)) {
      return (folder / "resources").string();
    }
#ifdef OXHOST_INSTALLED_RESOURCES
    return (folder / OXHOST_INSTALLED_RESOURCES).lexically_normal().string();
#endif
  }
  return "resources";
}

Localizer::Localizer(const std::string& catalogue) {
  std::string relative = catalogue;
  for (char& c : relative) {
    if (c == ':') {
      c = '/';
    }
  }
  const std::string path = GetResourceFolder() + "/" + relative + ".xml";
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    return;
  }
  for (pugi::xml_node message : document.child("messages").children("message")) {
    m_messages[message.attribute("id").value()] = message.text().get();
  }
  m_loaded = true;
}

std::string Localizer::LocalizeMessage(const std::string& key, const MessageArgs& args,
                                       ActionOnFailure onFailure) const {
  auto found = m_messages.find(key);
  if (found == m_messages.end()) {
    switch (onFailure) {
      case kReturnEmpty:
        return std::string();
      case kReturnKey:
        return key;
      case kReturnMarked:
        return "!!" + key + "!!";
    }
    return key;
  }
  const std::string& text = found->second;
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const size_t index = static_cast<size_t>(text[i + 1] - '1');
      if (index < args.size()) {
        result += args[index];
      }
      ++i;
      continue;
    }
    result += text[i];
  }
  return result;
}

}  // namespace util
