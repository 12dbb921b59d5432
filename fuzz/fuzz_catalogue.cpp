// Feeds arbitrary bytes to the library reader as two documents (split at the first NUL),
// merges the second list into the first, then builds the picker data and the saved text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/PartslibraryList.h"
#include "catalogue/PartslibraryUIData.h"

namespace oxsymbols {
class PartslibraryListAccess {
 public:
  static void Run(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\0');
    const uint8_t flags = size > 0 ? data[0] : 0;
    PartslibraryList first;
    PartslibraryList second;
    first.ParseFromFile(AsDocument(input.substr(0, cut)), (flags & 1) != 0, (flags & 2) != 0);
    if (cut != std::string_view::npos) {
      second.ParseFromFile(AsDocument(input.substr(cut + 1)), (flags & 4) != 0, (flags & 8) != 0);
    }
    first.AddPartslibraryList(second);
    PartslibraryUIData picker(first.GetOlList(), first.GetImageList(), first.GetCategoryList());
    (void)first.BuildLibraryText((flags & 16) != 0);
  }

 private:
  // The reader takes text that starts with a declaration as the document itself.
  static std::string AsDocument(std::string_view text) {
    static constexpr std::string_view kDeclaration = "<?xml ";
    if (text.substr(0, kDeclaration.size()) == kDeclaration) {
      return std::string(text);
    }
    return std::string("<?xml version=\"1.0\"?>").append(text);
  }
};
}  // namespace oxsymbols

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  oxsymbols::PartslibraryListAccess::Run(data, size);
  return 0;
}
