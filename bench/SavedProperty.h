// A property of an annotation's saved content, found and changed in its text, so that
// benchmarks make many annotations from one saved by the tool without parsing each.
#pragma once

#include <string>

namespace benchsupport {

class SavedProperty {
 public:
  // The property's text; empty when the block has none.
  static std::string Get(const std::string& block, const std::string& key) {
    size_t begin = 0;
    size_t end = 0;
    return Find(block, key, begin, end) ? block.substr(begin, end - begin) : std::string();
  }
  // Replaces the property's text; false when the block has none.
  [[nodiscard]] static bool Set(std::string& block, const std::string& key, const std::string& value) {
    size_t begin = 0;
    size_t end = 0;
    if (!Find(block, key, begin, end)) {
      return false;
    }
    block.replace(begin, end - begin, value);
    return true;
  }

 private:
  // The text between the element that opens key's property and its end.
  static bool Find(const std::string& block, const std::string& key, size_t& begin, size_t& end) {
    const size_t at = block.find("key=\"" + key + "\"");
    if (at == std::string::npos) {
      return false;
    }
    begin = block.find('>', at);
    end = block.find("</property>", begin);
    if (begin == std::string::npos || end == std::string::npos) {
      return false;
    }
    ++begin;
    return true;
  }
};

}  // namespace benchsupport
