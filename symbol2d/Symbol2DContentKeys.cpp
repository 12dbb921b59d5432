#include "symbol2d/Symbol2DContentKeys.h"

// Created when the module loads, released when it unloads.
namespace oxannotations::symbol2dkeys {

const util::Symbol imageID("imageID");
const util::Symbol imageName("imageName");
const util::Symbol imageFileName("imageFileName");
const util::Symbol center("center");
const util::Symbol width("width");
const util::Symbol height("height");
const util::Symbol lineColor("lineColor");
const util::Symbol lineWidth("lineWidth");
const util::Symbol lineStipple("lineStipple");
const util::Symbol fillColor("fillColor");
const util::Symbol transparency("transparency");
const util::Symbol screenSpace("screenSpace");
const util::Symbol anchor("anchor");
const util::Symbol reverse("reverse");
const util::Symbol flipHorizontally("flipHorizontally");
const util::Symbol rotateRight("rotateRight");
const util::Symbol rotateLeft("rotateLeft");
const util::Symbol isbillboard("isbillboard");
const util::Symbol bbXform("bbXform");
const util::Symbol pageNum("pageNum");

}  // namespace oxannotations::symbol2dkeys
