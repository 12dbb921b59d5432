// Keys of the saved content of 3D symbols and of their flattened hand-over.
// Frozen: saved documents depend on these texts.
#pragma once

#include "orrinsymbols/util/Symbol.h"

namespace oxannotations::symbolkeys {

extern const util::Symbol title;
extern const util::Symbol description;
extern const util::Symbol showTooltipTitle;
extern const util::Symbol showTooltipDescription;
extern const util::Symbol name;
extern const util::Symbol fileName;
extern const util::Symbol id;
extern const util::Symbol appAmbient;
extern const util::Symbol appSpecular;
extern const util::Symbol appDiffuse;
extern const util::Symbol appEmissive;
extern const util::Symbol appShininess;
extern const util::Symbol appTransp;
extern const util::Symbol appHasOverride;
extern const util::Symbol locPosition;
extern const util::Symbol locOrientation;
extern const util::Symbol locScale;
extern const util::Symbol isAnnotationSymbol;
extern const util::Symbol symbolCsysLocation;
extern const util::Symbol symbolInitLocation;
extern const util::Symbol attachedToPart;
extern const util::Symbol attachedToPartId;
extern const util::Symbol attachedToAssemblyPartId;
extern const util::Symbol attachedToPartLastPos;
extern const util::Symbol attachedToPartOffset;
extern const util::Symbol sequencerTag;
extern const util::Symbol sequencerTagType;
extern const util::Symbol sequencerTagDescription;
extern const util::Symbol sequencerTagName;
extern const util::Symbol sequencerTagUnits;
extern const util::Symbol sequencerTagQuantity;
// The flattened symbol's 2D placement.
extern const util::Symbol xform;

}  // namespace oxannotations::symbolkeys
