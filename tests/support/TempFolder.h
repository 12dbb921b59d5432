// A temporary folder for a test, removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "util/FileSystem.h"

namespace testsupport {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "symbols-test-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { util::FileSystem::DeletePath(m_path); }

  [[nodiscard]] const std::string& Path() const { return m_path; }
  [[nodiscard]] std::string File(const std::string& name) const { return m_path + "/" + name; }
  // Writes a file below the folder (creating sub-folders) and returns its path.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string path = File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

 private:
  std::string m_path;
};

}  // namespace testsupport
