// The two paths under which a connected-part entry may name a model part: the part's own
// identifier path in the model tree and, when the part belongs to the SBOM, its SBOM
// item's path. An entry matches a part when its path is either of them.
#pragma once

#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

struct PartPaths {
  util::Symbol path;
  util::Symbol sbomPath;  // empty when the part is not in the SBOM

  [[nodiscard]] static PartPaths Of(const oxk::Instance& instance);
  [[nodiscard]] bool Matches(const util::Symbol& partId) const;
};

}  // namespace oxannotations
