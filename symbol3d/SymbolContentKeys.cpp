#include "symbol3d/SymbolContentKeys.h"

// Created when the module loads, released when it unloads.
namespace oxannotations::symbolkeys {

const util::Symbol title("title");
const util::Symbol description("description");
const util::Symbol showTooltipTitle("showTooltipTitle");
const util::Symbol showTooltipDescription("showTooltipDescription");
const util::Symbol name("name");
const util::Symbol fileName("fileName");
const util::Symbol id("ID");
const util::Symbol appAmbient("appAmbient");
const util::Symbol appSpecular("appSpecular");
const util::Symbol appDiffuse("appDiffuse");
const util::Symbol appEmissive("appEmissive");
const util::Symbol appShininess("appShininess");
const util::Symbol appTransp("appTransp");
const util::Symbol appHasOverride("appHasOverride");
const util::Symbol locPosition("locPosition");
const util::Symbol locOrientation("locOrientation");
const util::Symbol locScale("locScale");
const util::Symbol isAnnotationSymbol("isAnnotationSymbol");
const util::Symbol symbolCsysLocation("symbolCsysLocation");
const util::Symbol symbolInitLocation("symbolInitLocation");
const util::Symbol attachedToPart("attachedToPart");
const util::Symbol attachedToPartId("attachedToPartId");
const util::Symbol attachedToAssemblyPartId("attachedToAssemblyPartId");
const util::Symbol attachedToPartLastPos("attachedToPartLastPos");
const util::Symbol attachedToPartOffset("attachedToPartOffset");
const util::Symbol sequencerTag("sequencerTag");
const util::Symbol sequencerTagType("sequencerTagType");
const util::Symbol sequencerTagDescription("sequencerTagDescription");
const util::Symbol sequencerTagName("sequencerTagName");
const util::Symbol sequencerTagUnits("sequencerTagUnits");
const util::Symbol sequencerTagQuantity("sequencerTagQuantity");
const util::Symbol xform("xform");

}  // namespace oxannotations::symbolkeys
