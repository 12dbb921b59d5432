#include "common/IsOldDialogEnabled.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "conc/Environment.h"

namespace oxcommon {

bool ParseOldDialogSetting(const std::string& text) {
  if (text.empty()) {
    return false;
  }
  // Leading blanks, an optional sign, digits; the rest is ignored.
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin) {
    return false;
  }
  // Out of the int range still names a non-zero number.
  return errno == ERANGE || value != 0;
}

bool IsOldDialogEnabled() {
  static const bool enabled = [] {
    std::string text;
    if (!conc::Environment::Get("ORRIN_SYMBOL_ENABLE_OLD_DIALOG", text)) {
      return false;
    }
    return ParseOldDialogSetting(text);
  }();
  return enabled;
}

}  // namespace oxcommon
