// How many categories, shapes and images a library file holds or was given. Internal
// to the catalogue and its tool; header only, nothing of it is exported.
#pragma once

#include <cstddef>

namespace oxsymbols {

struct LibraryCounts {
  size_t categories = 0;
  size_t shapes = 0;
  size_t images = 0;
};

}  // namespace oxsymbols
