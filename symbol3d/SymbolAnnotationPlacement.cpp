#include "common/IsOldDialogEnabled.h"
#include "geo/DMat44.h"
#include "oxk/ShapeView.h"
#include "oxkapp/OxkApp.h"
#include "symbol3d/GetPartReferenceLocation.h"
#include "symbol3d/SymbolAnnotation.h"

// The symbol's initial placement from the coordinate systems of the placement dialog,
// and its position in the part's coordinate system.

namespace oxannotations {

void SymbolAnnotation::CalculateSymbolLocation(geo::Location& out) {
  util::SmartPtr<oxkapp::SceneManager> manager;
  if (const util::SmartPtr<oxkapp::OxkApp> app = oxkapp::OxkApp::Get()) {
    app->GetSceneManager(manager);
  }
  const bool oldDialog = oxcommon::IsOldDialogEnabled();
  if (!oldDialog && manager && useCurrentOrientation) {
    // The symbol keeps the orientation relative to the camera that it had in the preview.
    util::SmartPtr<oxk::View> view;
    geo::Location camera;
    const auto* shapeView = manager->GetActiveView(view) ? dynamic_cast<const oxk::ShapeView*>(view.get()) : nullptr;
    geo::DMat33 fromCamera;
    if (shapeView != nullptr && shapeView->GetCurrentCameraLocation(camera)) {
      fromCamera = geo::DMat33(camera.GetMat());
      if (fromCamera.Invert()) {
        const geo::DPoint3D kept = partCsys.GetPos();
        partCsys = partCsys * fromCamera * geo::DMat33(cameraPreviewLocation.GetMat());
        partCsys.SetPos(kept);
      }
    }
  } else if (!oldDialog && !useCurrentOrientation) {
    selectedCsys.SetMat(RemoveScale(selectedCsys.GetMat()));
  }
  geo::DMat44 fromPart = partCsys.GetXform();
  if (!fromPart.Invert()) {
    out = selectedCsys;  // a degenerate part frame: the selected frame as it is
    return;
  }
  out = geo::Location(fromPart) * selectedCsys;
}

void SymbolAnnotation::SetPartCsys(const geo::Location& location) {
  geo::DPoint3D position;
  geo::Quaternion<float> orientation;
  float scale = 1.0f;
  location.Get(position, orientation, scale);
  partCsys.Set(position, orientation, static_cast<float>(1.0 / symbolScale));
}

void SymbolAnnotation::SetCsysPos(geo::DPoint3D& position, bool keepRotation) {
  const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance();
  if (!shape) {
    return;
  }
  geo::Location placed = shape->GetLocation();
  if (!keepRotation) {
    geo::DMat33 unturn(RemoveScale(placed.GetMat()));
    if (unturn.Invert()) {
      placed = placed * unturn;
    }
  }
  position = (partCsys * placed).GetPos();
}

}  // namespace oxannotations
