#include "symbol3d/PartPaths.h"

#include "oxk/illustration/SbomInstance.h"

namespace oxannotations {

PartPaths PartPaths::Of(const oxk::Instance& instance) {
  PartPaths paths{instance.GetIdPath(), util::Symbol()};
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  if (instance.GetSbomInstance(sbom)) {
    paths.sbomPath = sbom->GetIdPath();
  }
  return paths;
}

bool PartPaths::Matches(const util::Symbol& partId) const {
  return partId == path || (!sbomPath.empty() && partId == sbomPath);
}

}  // namespace oxannotations
