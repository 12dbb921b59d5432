// Something that keeps plain pointers to decoded images it does not own, such as a cache
// of decoded files that hands the same image to every user of a file. An image registered
// with it tells it when it goes, so that it never hands out a pointer to a freed image.
#pragma once

namespace oximg {

class Image;

class ImageRegistry {
 public:
  ImageRegistry() = default;
  ImageRegistry(const ImageRegistry&) = delete;
  ImageRegistry& operator=(const ImageRegistry&) = delete;

  // Called once by a registered image that is being destroyed, on whichever thread let go
  // of it last: its count is zero, and its memory is freed once this returns. A registry
  // that looks an image up must add its reference with TryAddReference, under the same
  // lock that Forget takes.
  virtual void Forget(const Image* image) noexcept = 0;

 protected:
  virtual ~ImageRegistry() = default;
};

}  // namespace oximg
