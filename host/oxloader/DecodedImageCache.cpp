#include "oxloader/DecodedImageCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <new>
#include <vector>

#include "oxloader/Loader.h"

namespace oxloader {

namespace {

// Closes the file however the load ends.
class OpenFile {
 public:
  explicit OpenFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  [[nodiscard]] int Get() const { return m_fd; }

 private:
  int m_fd;
};

// Reads size bytes from the start of an open regular file; false when it gives fewer.
bool ReadAll(int fd, size_t size, std::vector<uint8_t>& bytes) {
  bytes.resize(size);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, bytes.data() + done, size - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return false;
    }
    done += static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

bool DecodedImageCache::FileKey::operator==(const FileKey& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

size_t DecodedImageCache::FileKeyHash::operator()(const FileKey& key) const {
  size_t hash = std::hash<uint64_t>()(static_cast<uint64_t>(key.inode));
  for (const uint64_t part : {static_cast<uint64_t>(key.device), static_cast<uint64_t>(key.size),
                              static_cast<uint64_t>(key.modified.tv_sec), static_cast<uint64_t>(key.modified.tv_nsec),
                              static_cast<uint64_t>(key.changed.tv_sec), static_cast<uint64_t>(key.changed.tv_nsec)}) {
    hash = hash * 0x9E3779B97F4A7C15ull ^ std::hash<uint64_t>()(part);
  }
  return hash;
}

int DecodedImageCache::Load(const std::string& path, oxk::Image& image, ImageBudget* budget) {
  // Only regular files, never waited on: a FIFO or a device in its place is missing.
  const OpenFile file(path);
  struct stat status {};
  if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return Loader::kMissing;
  }
  const FileKey key{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
  if (const util::SmartPtr<oximg::Image> shared = Find(key)) {
    image.SetImageData(shared);
    return Loader::kOk;
  }
  std::vector<uint8_t> bytes;
  try {
    if (!ReadAll(file.Get(), static_cast<size_t>(status.st_size), bytes)) {
      return Loader::kMissing;
    }
  } catch (const std::bad_alloc&) {
    return Loader::kMissing;
  }
  const int decoded = Loader::DecodeImage(bytes.data(), bytes.size(), image, budget);
  if (decoded == Loader::kOk) {
    try {
      Keep(key, image.GetImageData());
    } catch (const std::bad_alloc&) {
      // Not shared: the next image of the file decodes it again.
    }
  }
  return decoded;
}

util::SmartPtr<oximg::Image> DecodedImageCache::Find(const FileKey& key) const {
  oximg::Image* found = nullptr;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto at = m_byFile.find(key);
    // An image whose count reached zero is on its way out: it forgets itself under this
    // lock once its destructor runs, and must not be handed out meanwhile.
    if (at == m_byFile.end() || !at->second->TryAddReference(this)) {
      return {};
    }
    found = at->second;
  }
  util::SmartPtr<oximg::Image> shared(found);
  found->RemoveReference(this);  // the smart pointer holds one of its own
  return shared;
}

void DecodedImageCache::Keep(const FileKey& key, const util::SmartPtr<oximg::Image>& data) {
  if (!data) {
    return;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  // Registered first: should an insertion below run out of memory, Forget finds no entry
  // or an entry of its own, and the data is merely not shared.
  data->SetRegistry(this);
  m_keys[data.get()] = key;
  m_byFile[key] = data.get();
}

size_t DecodedImageCache::GetCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_byFile.size();
}

void DecodedImageCache::Forget(const oximg::Image* image) noexcept {
  std::lock_guard<std::mutex> guard(m_mutex);
  const auto key = m_keys.find(image);
  if (key == m_keys.end()) {
    return;
  }
  const auto entry = m_byFile.find(key->second);
  // A file decoded again while this image was going points at the new data by now.
  if (entry != m_byFile.end() && entry->second == image) {
    m_byFile.erase(entry);
  }
  m_keys.erase(key);
}

}  // namespace oxloader
