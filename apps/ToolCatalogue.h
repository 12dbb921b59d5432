// The catalogue as the tool uses it: the library's own list, with the operations that
// say what loading found out and what saving wrote made available to the tool.
#pragma once

#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class ToolCatalogue : public oxsymbols::PartslibraryList {
 public:
  using PartslibraryList::BuildLibraryText;
  using PartslibraryList::ReadLibraryFile;
  using PartslibraryList::ReadPreferencesXML;
};

}  // namespace symbols_tool
