// Feeds arbitrary bytes to the library reader as two documents (split at the first NUL),
// merges the second list into the first, builds the picker data, then writes what it
// read and reads that back: the catalogue read from written text must write the same
// text again, or a value does not survive saving.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/PartslibraryList.h"
#include "catalogue/PartslibraryUIData.h"
#include "oxk/Preferences.h"
#include "oxk/World.h"

namespace oxsymbols {
class PartslibraryListAccess {
 public:
  static void Run(const uint8_t* data, size_t size) {
    // A host with a library folder, as every real one has: file references are saved
    // relative to it and read back against it.
    static const bool hostReady = [] {
      util::SmartPtr<oxk::World> world(new oxk::World());
      util::SmartPtr<oxk::Preferences> preferences(new oxk::Preferences());
      preferences->SetBaseURL(util::Symbol("/fuzz/base"));
      world->SetIllustrationPreferences(preferences);
      oxk::World::SetWorld(world);
      return true;
    }();
    (void)hostReady;
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

    // Written once, a catalogue is in the form saving keeps; from then on reading and
    // writing must not change it.
    const std::string written = first.BuildLibraryText((flags & 16) != 0);
    PartslibraryList once;
    once.ParseFromFile(written, false, false);
    const std::string again = once.BuildLibraryText(false);
    PartslibraryList twice;
    twice.ParseFromFile(again, false, false);
    const std::string third = twice.BuildLibraryText(false);
    if (again != third) {
      std::fprintf(stderr, "written text changed by reading it back:\n--- once\n%s\n--- twice\n%s\n", again.c_str(),
                   third.c_str());
      std::abort();
    }
    if (once.GetOlList().size() != twice.GetOlList().size() ||
        once.GetImageList().size() != twice.GetImageList().size() ||
        once.GetCategoryList().size() != twice.GetCategoryList().size()) {
      std::fprintf(stderr, "entries lost by reading written text back\n");
      std::abort();
    }
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
