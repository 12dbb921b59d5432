// Where the files of symbols packed with an opened model are found, as 3D and 2D symbols
// both look for them, and the removal of a symbol's temporary folder.
#pragma once

#include <string>

#include "orrinsymbols/util/Symbol.h"

namespace oxcommon {

// The path of file in the "Symbols" folder of the illustration application's temporary
// directory; false (path untouched) when the application has no temporary directory.
[[nodiscard]] bool TempSymbolsFolderPath(const util::Symbol& file, std::string& path);

// The url the opened model's primary structure gives for a file packed with it; url
// untouched without a model, structure or anchor.
void PackedFileUrl(const util::Symbol& file, util::Symbol& url);

// Deletes the folder, when one is named, and empties the name.
void DeleteTempFolder(std::string& folder);

}  // namespace oxcommon
