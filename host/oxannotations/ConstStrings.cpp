#include "oxannotations/ConstStrings.h"

namespace oxannotations {

const util::Symbol ConstStrings::oxSymbol3D("symbol3d");
const util::Symbol ConstStrings::oxSymbol3DFlattened("symbol3dflattened");
const util::Symbol ConstStrings::oxSymbol2D("symbol2d");
const util::Symbol ConstStrings::oxDistanceIcon("distance_icon");
const util::Symbol ConstStrings::oxDistancePreselectionCursor("distance_preselection_cursor");
const util::Symbol ConstStrings::oxStampIcon("stamp_icon");
const util::Symbol ConstStrings::oxStampPreselectionCursor("stamp_preselection_cursor");

}  // namespace oxannotations
