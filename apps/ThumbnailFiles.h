// Which thumbnail files a page may embed: regular files inside one of the library
// folders, no larger than a limit, whose first bytes are a PNG, JPEG, GIF or BMP
// signature. Anything else (a missing file, a folder, a FIFO or device, a text file, a
// path that leaves the library) is named for the library check and replaced on a page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace symbols_tool {

struct Thumbnail {
  enum class Verdict { kImage, kNotGiven, kMissing, kNotRegular, kUnreadable, kTooLarge, kNotAnImage, kOutside };

  Verdict verdict = Verdict::kNotGiven;
  std::string mimeType;  // for kImage
  std::string error;     // the system's reason for kUnreadable
  std::string realPath;  // links and ".." resolved, when the file exists

  [[nodiscard]] bool IsImage() const { return verdict == Verdict::kImage; }
  // Why the file is not embedded, in words; empty for an image.
  [[nodiscard]] std::string Describe() const;
};

class ThumbnailFiles {
 public:
  static constexpr uint64_t kMaxBytes = 1024 * 1024;

  // The folders thumbnails may lie in (each library's "SymbolsLibrary" folder).
  explicit ThumbnailFiles(const std::vector<std::string>& libraryFolders);

  // Looks at the file without reading more than its first bytes.
  [[nodiscard]] Thumbnail Inspect(const std::string& path) const;
  // Inspects and, for an image, reads it whole into bytes (still within the limit).
  [[nodiscard]] Thumbnail Load(const std::string& path, std::string& bytes) const;
  // True when path names a file whose real place (links and ".." resolved) lies outside
  // every library folder.
  [[nodiscard]] bool LeavesLibrary(const std::string& path) const;

  // The media type of a PNG, JPEG, GIF or BMP file from its first bytes (eight are
  // enough); null for anything else.
  [[nodiscard]] static const char* MimeTypeOf(const std::string& start);
  // How many first bytes MimeTypeOf needs.
  static constexpr size_t kSignatureBytes = 8;

 private:
  [[nodiscard]] bool IsInsideLibrary(const std::string& realPath) const;

  std::vector<std::string> m_folders;  // real paths, each ending with a slash
};

}  // namespace symbols_tool
