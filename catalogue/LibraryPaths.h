// The location rules that reading, saving and the path operations of the catalogue
// share: whether a file lies under the library folder, and the library-relative forms
// file references are saved in.
#pragma once

#include <cstddef>
#include <string>

namespace oxsymbols::detail {

// The library folder's location as the "lies under" test compares it (upper case).
[[nodiscard]] std::string LibraryLocationKey(const std::string& libraryPath);
// True when the path's location is longer than the library's and starts with it.
[[nodiscard]] bool IsUnderLocation(const std::string& path, const std::string& libraryLocationKey);
// The library prefix, a separator and the path after its first libraryPathLength bytes.
void MakeRelative(std::string& path, bool standard, size_t libraryPathLength);
// The library prefix, the image or shape folder and the path's file name, with
// forward slashes.
void TrimToLibraryFolder(std::string& path, bool image, bool standard);

}  // namespace oxsymbols::detail
