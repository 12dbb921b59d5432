// Message texts by key from a named message catalogue.
//
// A catalogue name "group:name" is the data file resources/group/name.xml beside the
// host library (or under $OXHOST_RESOURCES when set):
//   <messages><message id="5601">Symbol %1</message>...</messages>
// Placeholders %1..%9 take the arguments in order.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "orrinsymbols/util/MessageArgs.h"

namespace util {

class Localizer {
 public:
  // What LocalizeMessage gives for a key the catalogue lacks.
  enum ActionOnFailure {
    kReturnEmpty = 0,   // an empty text
    kReturnKey = 1,     // the key itself, so a missing text stays visible and readable
    kReturnMarked = 2,  // the key between "!!" marks
  };

  explicit Localizer(const std::string& catalogue);

  [[nodiscard]] std::string LocalizeMessage(const std::string& key, const MessageArgs& args = {},
                                            ActionOnFailure onFailure = kReturnKey) const;
  [[nodiscard]] std::string LocalizeMessage(const std::string& key, ActionOnFailure onFailure) const {
    return LocalizeMessage(key, MessageArgs{}, onFailure);
  }
  // False when the catalogue's file could not be read.
  [[nodiscard]] bool IsLoaded() const { return m_loaded; }

  // The folder holding the host's data files.
  [[nodiscard]] static std::string GetResourceFolder();

 private:
  std::unordered_map<std::string, std::string> m_messages;
  bool m_loaded = false;
};

}  // namespace util
