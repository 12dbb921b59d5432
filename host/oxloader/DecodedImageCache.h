// The loader's decoded pictures, one per file as it is on disk: every image whose url
// names a file that is already decoded, unchanged, and still shown somewhere gets the same
// decoded data instead of a copy of its own. A file is known by its device, inode, size
// and modification and change times, read from the opened file itself, so a file that was
// rewritten or replaced is decoded afresh; the images that hold the old pixels keep them.
// The cache holds no reference: decoded data goes when the last image that shows it lets
// go, and forgets its entry then. A picture is charged to an image budget by the load that
// decodes it, once: the images that share it later add no pixels. Safe to use from any
// thread.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>
#include <unordered_map>

#include "orrinsymbols/oximg/ImageRegistry.h"
#include "orrinsymbols/oxk/Image.h"
#include "orrinsymbols/oxloader/ImageBudget.h"

namespace oxloader {

class DecodedImageCache : public oximg::ImageRegistry {
 public:
  DecodedImageCache() = default;
  ~DecodedImageCache() override = default;

  // Gives image the decoded pixels of the file at path, shared when they are in use
  // already; pixels decoded here are charged to budget (may be null) first. Statuses as
  // Loader::ReadImage; the image is untouched unless kOk.
  [[nodiscard]] int Load(const std::string& path, oxk::Image& image, ImageBudget* budget);
  // How many decoded files are in use.
  [[nodiscard]] size_t GetCount() const;

  void Forget(const oximg::Image* image) noexcept override;

 private:
  struct FileKey {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileKey& other) const;
  };
  struct FileKeyHash {
    size_t operator()(const FileKey& key) const;
  };

  // The data decoded from the file with that key while it is in use, with a reference
  // added for the caller; empty when there is none.
  [[nodiscard]] util::SmartPtr<oximg::Image> Find(const FileKey& key) const;
  void Keep(const FileKey& key, const util::SmartPtr<oximg::Image>& data);

  mutable std::mutex m_mutex;
  std::unordered_map<FileKey, oximg::Image*, FileKeyHash> m_byFile;
  std::unordered_map<const oximg::Image*, FileKey> m_keys;
};

}  // namespace oxloader
