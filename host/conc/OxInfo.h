// Process-wide facts about the installation: the per-user shared cache preferences folder.
#pragma once

#include "orrinsymbols/util/Symbol.h"

namespace conc {

class OxInfo {
 public:
  // False (folder emptied) when no folder has been configured.
  static bool GetOrrinSharedCachePrefsDir(util::Symbol& folder);
  static void SetOrrinSharedCachePrefsDir(util::Symbol folder);
};

}  // namespace conc
