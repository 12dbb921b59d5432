// The process-wide switch back to the old symbol placement dialog, from the environment
// variable ORRIN_SYMBOL_ENABLE_OLD_DIALOG: read once, on first use, and kept.
#pragma once

#include <string>

namespace oxcommon {

// True when the variable holds a leading decimal number other than 0 ("1", "12abc");
// unset, empty, "0" or text without a leading number give false.
[[nodiscard]] bool IsOldDialogEnabled();

// The conversion IsOldDialogEnabled applies to the variable's text.
[[nodiscard]] bool ParseOldDialogSetting(const std::string& text);

}  // namespace oxcommon
