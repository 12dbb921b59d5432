// The creation record of a 3D symbol: common texts plus shape placement, appearance
// override, coordinate systems, sequencer tags and connected parts. Copies share the
// tag objects.
#pragma once

#include <vector>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/common/SequencerTagList.h"
#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/geo/Quaternion.h"
#include "orrinsymbols/symbol3d/ConnectedPartInfo.h"
#include "orrinsymbols/symbol3d/SymbolInfoBase.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

struct OXSYMBOLS_EXPORT SymbolInfo : SymbolInfoBase {
  geo::DPoint3D locPosition;
  geo::Quaternion<float> locOrientation;  // identity until the producer sets it
  float locScale = 1.0f;
  geo::Location auxLocation;
  geo::Color appEmissive{0, 0, 0, 1};
  geo::Color appSpecular{0, 0, 0, 1};
  geo::Color appDiffuse{0, 0, 0, 1};
  geo::Color appAmbient{0, 0, 0, 1};
  float appShininess = 0.0f;
  float appTransp = 0.0f;
  bool appHasOverride = false;
  bool isAnnotationSymbol = false;
  geo::Location symbolCsysLocation;
  bool hasSymbolCsysLocation = false;
  geo::Location symbolInitLocation;
  bool hasSymbolInitLocation = false;
  oxcommon::SequencerTagList sequencerTags;
  std::vector<ConnectedPartInfo> connectedParts;
};

}  // namespace oxannotations
