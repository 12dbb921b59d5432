#include "ToolContext.h"

#include <filesystem>

#include "Utf8Text.h"

namespace symbols_tool {

namespace {

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code ignored;
  std::string path = std::filesystem::absolute(folder, ignored).lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

}  // namespace

bool ToolContext::Install() {
  if (m_locations.base.empty()) {
    m_locations.base = ToolSetup::SampleBase();
    m_locations.usingSamples = true;
  }
  m_locations.base = AbsoluteFolder(m_locations.base);
  if (!m_locations.shared.empty()) {
    m_locations.shared = AbsoluteFolder(m_locations.shared);
  }
  std::string error;
  if (!ToolSetup::Install(m_locations, error)) {
    (void)Failure(error);
    return false;
  }
  return true;
}

ToolCatalogue& ToolContext::Catalogue() {
  if (!m_catalogue) {
    m_catalogue = std::make_unique<ToolCatalogue>();
    m_catalogue->ReadPreferencesXML(false, m_report);
    for (const oxsymbols::LibraryFileReport& file : m_report.files) {
      if (file.Failed()) {
        m_err << "symbols: " << EscapeForTerminal(FileLabel(file))
              << " not read: " << EscapeForTerminal(file.Describe()) << "\n";
      }
    }
  }
  return *m_catalogue;
}

const oxsymbols::LoadReport& ToolContext::Report() {
  (void)Catalogue();
  return m_report;
}

int ToolContext::Failure(const std::string& message) {
  m_err << "symbols: " << EscapeForTerminal(message) << "\n";
  return kFailure;
}

int ToolContext::Usage(const std::string& message) {
  m_err << "symbols: " << EscapeForTerminal(message) << " (see symbols --help)\n";
  return kUsage;
}

std::string Counted(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string CountsText(const oxsymbols::LibraryCounts& counts) {
  return Counted(counts.categories, "category", "categories") + ", " + Counted(counts.shapes, "shape", "shapes") +
         ", " + Counted(counts.images, "image", "images");
}

std::string FileLabel(const oxsymbols::LibraryFileReport& file) {
  return std::string(oxsymbols::OriginName(file.origin)) + " library " + file.path;
}

}  // namespace symbols_tool
