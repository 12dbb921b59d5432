#include "OutputFile.h"

#include <filesystem>

#include "util/SafeFileWriter.h"

namespace symbols_tool {

OutputFile::OutputFile(const std::string& target)
    : m_standardOutput(target == "-"),
      m_label(m_standardOutput ? "standard output" : std::filesystem::absolute(target).lexically_normal().string()) {}

bool OutputFile::Write(std::string_view text, ToolContext& context) const {
  if (m_standardOutput) {
    context.Out() << text;
    context.Out().flush();
    if (!context.Out()) {
      (void)context.Failure("could not write to standard output");
      return false;
    }
    return true;
  }
  std::string error;
  if (!util::SafeFileWriter::Write(m_label, text, error)) {
    (void)context.Failure("could not write " + m_label + ": " + error);
    return false;
  }
  return true;
}

std::ostream& OutputFile::ReportStream(ToolContext& context) const {
  return m_standardOutput ? context.Err() : context.Out();
}

}  // namespace symbols_tool
