// Where a command writes the file it makes: a path, written crash-safe, or "-" for
// standard output. A command that writes its file to standard output says what it wrote
// on standard error, so that the output is the file alone.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "ToolContext.h"

namespace symbols_tool {

class OutputFile {
 public:
  // target as given on the command line: a path, or "-".
  explicit OutputFile(const std::string& target);

  [[nodiscard]] bool IsStandardOutput() const { return m_standardOutput; }
  // How messages name the target: its absolute path, or "standard output".
  [[nodiscard]] const std::string& Label() const { return m_label; }
  // Writes text whole; false after a message on the error stream.
  [[nodiscard]] bool Write(std::string_view text, ToolContext& context) const;
  // The stream for the command's report of what it wrote: the output, unless the file
  // itself went there.
  [[nodiscard]] std::ostream& ReportStream(ToolContext& context) const;

 private:
  bool m_standardOutput;
  std::string m_label;
};

}  // namespace symbols_tool
