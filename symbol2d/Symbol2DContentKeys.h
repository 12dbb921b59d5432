// Keys of the saved content of 2D symbols that 3D symbols do not share (the texts,
// tooltip flags and sequencer tag keys are those of symbol3d/SymbolContentKeys.h).
// Frozen: saved documents depend on these texts.
#pragma once

#include "orrinsymbols/util/Symbol.h"

namespace oxannotations::symbol2dkeys {

extern const util::Symbol imageID;
extern const util::Symbol imageName;
extern const util::Symbol imageFileName;
extern const util::Symbol center;
extern const util::Symbol width;
extern const util::Symbol height;
extern const util::Symbol lineColor;
extern const util::Symbol lineWidth;
extern const util::Symbol lineStipple;
extern const util::Symbol fillColor;
extern const util::Symbol transparency;
extern const util::Symbol screenSpace;
extern const util::Symbol anchor;
extern const util::Symbol reverse;
extern const util::Symbol flipHorizontally;
extern const util::Symbol rotateRight;
extern const util::Symbol rotateLeft;
extern const util::Symbol isbillboard;
extern const util::Symbol bbXform;
extern const util::Symbol pageNum;

}  // namespace oxannotations::symbol2dkeys
