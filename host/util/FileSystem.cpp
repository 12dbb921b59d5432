#include "util/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace util {

namespace fs = std::filesystem;

bool FileSystem::FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool FileSystem::DirExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

bool FileSystem::Mkdir(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  std::error_code ec;
  fs::create_directories(path, ec);
  return fs::is_directory(path, ec);
}

bool FileSystem::DeletePath(const std::string& path, bool onlyIfEmpty) {
  if (path.empty()) {
    return false;
  }
  std::error_code ec;
  if (onlyIfEmpty) {
    fs::remove(path, ec);
  } else {
    fs::remove_all(path, ec);
  }
  return !fs::exists(fs::symlink_status(path, ec));
}

namespace {

// Opens path, asks allocate(size) for room and fills it with one sized read.
template <class Allocate>
bool ReadWhole(const std::string& path, Allocate allocate) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return false;
  }
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    const auto length = static_cast<size_t>(size);
    ok = std::fread(allocate(length), 1, length, file) == length;
  }
  std::fclose(file);
  return ok;
}

}  // namespace

bool FileSystem::ReadFile(const std::string& path, std::string& contents) {
  const bool ok = ReadWhole(path, [&contents](size_t size) {
    contents.resize(size);
    return contents.data();
  });
  if (!ok) {
    contents.clear();
  }
  return ok;
}

bool FileSystem::ReadFile(const std::string& path, std::unique_ptr<char[]>& contents, size_t& size, size_t padding) {
  size = 0;
  const bool ok = ReadWhole(path, [&](size_t length) {
    contents = std::make_unique_for_overwrite<char[]>(length + 1 + padding);  // never a zero-sized array
    std::memset(contents.get() + length, 0, 1 + padding);
    size = length;
    return contents.get();
  });
  if (!ok) {
    contents.reset();
    size = 0;
  }
  return ok;
}

}  // namespace util
