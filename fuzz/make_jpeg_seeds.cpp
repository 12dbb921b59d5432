// Writes the JPEG fuzz target's seeds into the folder given: small files of each kind the
// encoder makes, so that the search starts from every decoding path.
#include <turbojpeg.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool Write(const std::string& path, int width, int height, int subsampling, int flags) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<unsigned char>(i * 37 % 251);
  }
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const bool made = encoder != nullptr && tjCompress2(encoder, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size,
                                                      subsampling, 75, flags) == 0;
  bool written = false;
  if (made) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
      written = std::fwrite(jpeg, 1, size, file) == size;
      written = std::fclose(file) == 0 && written;
    }
  }
  tjFree(jpeg);
  if (encoder != nullptr) {
    tjDestroy(encoder);
  }
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_jpeg_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = Write(folder + "/colour.jpg", 16, 8, TJSAMP_444, 0) &&
                  Write(folder + "/subsampled.jpg", 17, 9, TJSAMP_420, 0) &&
                  Write(folder + "/grey.jpg", 8, 8, TJSAMP_GRAY, 0) &&
                  Write(folder + "/progressive.jpg", 24, 16, TJSAMP_422, TJFLAG_PROGRESSIVE);
  return ok ? 0 : 1;
}
