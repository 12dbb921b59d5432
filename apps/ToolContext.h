// What every command of the symbols tool shares: the library locations from the
// command line, the output streams, the catalogue loaded once with its load report, and
// the conventions of the tool's messages and exit status.
#pragma once

#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include "ToolCatalogue.h"
#include "ToolSetup.h"
#include "catalogue/LibraryCounts.h"
#include "catalogue/LoadReport.h"

namespace symbols_tool {

// Exit status of the tool.
constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

class ToolContext {
 public:
  ToolContext(std::ostream& out, std::ostream& err, std::istream& in = std::cin) : m_out(out), m_err(err), m_in(in) {}

  [[nodiscard]] Locations& GetLocations() { return m_locations; }
  [[nodiscard]] std::ostream& Out() { return m_out; }
  [[nodiscard]] std::ostream& Err() { return m_err; }
  [[nodiscard]] std::istream& In() { return m_in; }

  // Makes the locations absolute (the sample library when no base was given) and hands
  // them to the host; false after a message when a folder is missing.
  [[nodiscard]] bool Install();
  // The merged catalogue, read on first use; each library file that exists but was not
  // read (or only in part) gets one line on the error stream.
  [[nodiscard]] ToolCatalogue& Catalogue();
  [[nodiscard]] const oxsymbols::LoadReport& Report();

  // One line on the error stream, then the exit status.
  int Failure(const std::string& message);
  int Usage(const std::string& message);

 private:
  Locations m_locations;
  std::ostream& m_out;
  std::ostream& m_err;
  std::istream& m_in;
  std::unique_ptr<ToolCatalogue> m_catalogue;
  oxsymbols::LoadReport m_report;
};

// "1 category", "2 categories".
[[nodiscard]] std::string Counted(size_t count, const char* one, const char* many);
// "1 category, 0 shapes, 2 images".
[[nodiscard]] std::string CountsText(const oxsymbols::LibraryCounts& counts);
// The library file in words for one line: "user library /x/PartSymbolLibrary.xml".
[[nodiscard]] std::string FileLabel(const oxsymbols::LibraryFileReport& file);

}  // namespace symbols_tool
