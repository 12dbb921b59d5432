#include "ThumbnailFiles.h"

#include <limits.h>
#include <stdlib.h>

#include <cstring>

#include "util/FileSystem.h"

namespace symbols_tool {

namespace {

// Frozen: the signatures of the image formats a page can show.
struct Signature {
  const char* bytes;
  size_t length;
  const char* mimeType;
};
const Signature kSignatures[] = {
    {"\x89PNG\r\n\x1a\n", 8, "image/png"},
    {"\xff\xd8\xff", 3, "image/jpeg"},
    {"GIF87a", 6, "image/gif"},
    {"GIF89a", 6, "image/gif"},
    {"BM", 2, "image/bmp"},
};
bool RealPath(const std::string& path, std::string& real) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer) == nullptr) {
    return false;
  }
  real = buffer;
  return true;
}

}  // namespace

const char* ThumbnailFiles::MimeTypeOf(const std::string& start) {
  for (const Signature& signature : kSignatures) {
    if (start.size() >= signature.length && std::memcmp(start.data(), signature.bytes, signature.length) == 0) {
      return signature.mimeType;
    }
  }
  return nullptr;
}

std::string Thumbnail::Describe() const {
  switch (verdict) {
    case Verdict::kImage:
      return std::string();
    case Verdict::kNotGiven:
      return "none given";
    case Verdict::kMissing:
      return "not found";
    case Verdict::kNotRegular:
      return "not a regular file";
    case Verdict::kUnreadable:
      return "cannot be read: " + error;
    case Verdict::kTooLarge:
      return "larger than " + std::to_string(ThumbnailFiles::kMaxBytes / 1024) + " KiB";
    case Verdict::kNotAnImage:
      return "not a PNG, JPEG, GIF or BMP image";
    case Verdict::kOutside:
      return "outside the library folders";
  }
  return "not an image";
}

ThumbnailFiles::ThumbnailFiles(const std::vector<std::string>& libraryFolders) {
  for (const std::string& folder : libraryFolders) {
    std::string real;
    if (!folder.empty() && RealPath(folder, real)) {
      m_folders.push_back(real.back() == '/' ? real : real + '/');
    }
  }
}

bool ThumbnailFiles::IsInsideLibrary(const std::string& realPath) const {
  for (const std::string& folder : m_folders) {
    if (realPath.compare(0, folder.size(), folder) == 0) {
      return true;
    }
  }
  return false;
}

bool ThumbnailFiles::LeavesLibrary(const std::string& path) const {
  std::string real;
  return !path.empty() && RealPath(path, real) && !IsInsideLibrary(real);
}

Thumbnail ThumbnailFiles::Inspect(const std::string& path) const {
  Thumbnail thumbnail;
  if (path.empty()) {
    return thumbnail;
  }
  std::string error;
  switch (util::FileSystem::GetKind(path, &error)) {
    case util::FileKind::kMissing:
      thumbnail.verdict = error.empty() ? Thumbnail::Verdict::kMissing : Thumbnail::Verdict::kUnreadable;
      thumbnail.error = error;
      return thumbnail;
    case util::FileKind::kDirectory:
    case util::FileKind::kOther:
      thumbnail.verdict = Thumbnail::Verdict::kNotRegular;
      return thumbnail;
    case util::FileKind::kRegular:
      break;
  }
  if (!RealPath(path, thumbnail.realPath) || !IsInsideLibrary(thumbnail.realPath)) {
    thumbnail.verdict = Thumbnail::Verdict::kOutside;
    return thumbnail;
  }
  std::string start;
  uint64_t size = 0;
  if (!util::FileSystem::ReadFileStart(thumbnail.realPath, kSignatureBytes, start, size, error)) {
    thumbnail.verdict = Thumbnail::Verdict::kUnreadable;
    thumbnail.error = error;
    return thumbnail;
  }
  const char* mimeType = MimeTypeOf(start);
  if (mimeType == nullptr) {
    thumbnail.verdict = Thumbnail::Verdict::kNotAnImage;
  } else if (size > kMaxBytes) {
    thumbnail.verdict = Thumbnail::Verdict::kTooLarge;
  } else {
    thumbnail.verdict = Thumbnail::Verdict::kImage;
    thumbnail.mimeType = mimeType;
  }
  return thumbnail;
}

Thumbnail ThumbnailFiles::Load(const std::string& path, std::string& bytes) const {
  bytes.clear();
  Thumbnail thumbnail = Inspect(path);
  if (!thumbnail.IsImage()) {
    return thumbnail;
  }
  // The file may have changed since it was looked at: the limit and signature hold for
  // what is read.
  std::string error;
  if (!util::FileSystem::ReadFile(thumbnail.realPath, bytes, error, kMaxBytes)) {
    thumbnail.verdict = Thumbnail::Verdict::kUnreadable;
    thumbnail.error = error;
  } else if (const char* mimeType = MimeTypeOf(bytes.substr(0, kSignatureBytes))) {
    thumbnail.mimeType = mimeType;
  } else {
    thumbnail.verdict = Thumbnail::Verdict::kNotAnImage;
    bytes.clear();
  }
  return thumbnail;
}

}  // namespace symbols_tool
