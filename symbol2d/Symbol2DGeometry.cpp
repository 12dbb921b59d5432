#include "conc/MutexGuard.h"
#include "conc/ReadGuard.h"
#include "oxk/ShapeView.h"
#include "oxmu/PrimitiveRectangle.h"
#include "symbol2d/Symbol2D.h"

// The stamp's geometry: its box in device pixels, sizing it as the image or back to its
// original size, turning the image in quarter turns, and extents from a 2D box.

namespace oxannotations {

geo::DBox Symbol2D::GetMarkupPixelBBox(const geo::Pipeline& pipeline, oxcontext::Context2D* context, int n) const {
  try {
    conc::ReadGuard guard(GetRWLock());
    geo::DBox box = geo::DBox::EMPTY;
    const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup();
    if (!stamp) {
      return box;
    }
    std::vector<util::SmartPtr<oxmu::Primitive>> primitives;
    stamp->GetContent(pipeline, context, n, primitives);
    for (const auto& primitive : primitives) {
      const auto* rectangle = dynamic_cast<const oxmu::PrimitiveRectangle*>(primitive.get());
      if (rectangle == nullptr) {
        continue;
      }
      const geo::Location& placed = rectangle->GetLocation();
      box.Enclose(pipeline.Transform(placed.Transform(geo::DPoint3D(rectangle->GetX1(), rectangle->GetY1(), 0))));
      box.Enclose(pipeline.Transform(placed.Transform(geo::DPoint3D(rectangle->GetX2(), rectangle->GetY2(), 0))));
      break;
    }
    return box;
  } catch (...) {
    // Memory ran short: no box.
    return geo::DBox::EMPTY;
  }
}

void Symbol2D::SetMarkupSizeAsImage() {
  try {
    conc::MutexGuard guard(stateMutex);
    SetMarkupSizeAsImageLocked();
  } catch (...) {
    // Memory ran short: the size stays.
  }
}

void Symbol2D::SetMarkupSizeAsImageLocked() {
  if (!scene || !markup) {
    return;
  }
  const util::SmartPtr<oxk::ShapeView> view = util::DynamicCast<oxk::ShapeView>(scene->GetView(0));
  if (!view) {
    return;
  }
  const geo::Camera3D camera = view->GetCamera();
  const double aspect = static_cast<double>(origWidth) / origHeight;
  const geo::DPoint3D centre = markup->GetCenter();
  const geo::DPoint3D screen = camera.GetWorldToScreenMatrix().Transform(centre);
  const geo::DRay ray = camera.ScreenXYToNormalizedRay(screen.x - origWidth * 0.5, screen.y);
  double t = 0.0;
  if (!ray.RaycastPlane(centre, geo::Cross(camera.GetU(), camera.GetV()), t)) {
    return;
  }
  const auto w = static_cast<float>(2.0 * (ray.Lirp(t) - centre).Length());
  SetMarkupSizeLocked(geo::DVec3(w, w / aspect, 0));
}

void Symbol2D::SetImageRotation(int right, int left) {
  try {
    conc::MutexGuard guard(stateMutex);
    SetImageRotationLocked(right, left);
  } catch (...) {
    // Memory ran short: the image stays as it is.
  }
}

void Symbol2D::SetImageRotationLocked(int right, int left) {
  const util::SmartPtr<oximg::Image> data = info.image ? info.image->GetImageData() : nullptr;
  if (!data) {
    return;
  }
  const int quarterTurns = (right + left) / 90;
  const util::SmartPtr<oximg::Image> turned = data->CreateCWRotated(static_cast<uint32_t>(quarterTurns));
  if (turned) {
    info.image->SetImageData(turned);
  }
}

void Symbol2D::SetToOriginalSize() {
  conc::MutexGuard guard(stateMutex);
  SetMarkupSizeLocked(geo::DVec3(origWidth, origHeight, 0));
  if (markup) {
    markup->CycleShadow();
  }
}

bool Symbol2D::IsOriginalSize() const {
  conc::MutexGuard guard(stateMutex);
  return info.width == origWidth && info.height == origHeight;
}

void Symbol2D::ApplyExtents2D(const geo::DBox2D& box) {
  conc::MutexGuard guard(stateMutex);
  info.width = static_cast<float>(box.Width() / 2);
  info.height = static_cast<float>(box.Height() / 2);
  info.center = geo::DPoint3D((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2, 0);
  if (markup) {
    markup->SetCenter(info.center);
    markup->SetWidth(info.width);
    markup->SetHeight(info.height);
  }
}

}  // namespace oxannotations
