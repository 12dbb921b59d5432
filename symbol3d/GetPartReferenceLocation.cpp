#include "symbol3d/GetPartReferenceLocation.h"

#include <algorithm>
#include <vector>

#include "geo/DMat33.h"
#include "geo/FBox.h"
#include "geo/FMat44.h"
#include "geo/Traits.h"
#include "oxk/ShapeScene.h"

namespace oxannotations {

geo::FMat33 RemoveScale(const geo::FMat33& m) {
  const geo::DVec3 s = m.GetScale();
  const geo::DVec3 one(1, 1, 1);
  const double limit = geo::Traits<float>::s_EPSILON * std::max({1.0, s.Length(), one.Length()});
  if ((s - one).Length() <= limit || s.x == 0.0 || s.y == 0.0 || s.z == 0.0) {
    return m;
  }
  const geo::FMat44 unscaled =
      geo::FMat44(m) *
      geo::FMat44::Scale(static_cast<float>(1.0 / s.x), static_cast<float>(1.0 / s.y), static_cast<float>(1.0 / s.z));
  return unscaled.GetMat33();
}

bool GetPartReferenceLocation(const util::SmartPtr<oxk::ShapeInstance>& part, geo::Location& out,
                              const util::SmartPtr<oxk::Instance>& assembly) {
  if (!part) {
    return false;
  }
  util::SmartPtr<oxk::Instance> reference;
  util::SmartPtr<oxk::ShapeScene> scene;
  if (!part->GetInstance(reference) || !part->GetShapeScene(scene)) {
    return false;
  }
  geo::Location placed = part->GetLocation();
  if (assembly) {
    reference = assembly;
    util::SmartPtr<oxk::ShapeInstance> assemblyShape;
    placed = scene->GetShapeInstance(assembly, assemblyShape) ? assemblyShape->GetLocation()
                                                              : scene->GetInstanceLocation(assembly);
  }
  const util::SmartPtr<oxk::Instance> standIn = scene->GetStandInInstance(reference);
  std::vector<util::SmartPtr<oxk::BaseInstance>> members;
  (standIn ? standIn : reference)->GetMemberSet(members);

  // The box is gathered in the reference's own axes, so it fits the part however the
  // part is turned.
  const geo::FMat33 axes = RemoveScale(placed.GetMat());
  geo::DMat33 toAxes(axes);
  if (!toAxes.Invert()) {
    return false;
  }
  geo::FBox box;
  for (const auto& member : members) {
    auto* instance = dynamic_cast<oxk::Instance*>(member.get());
    util::SmartPtr<oxk::ShapeInstance> shown;
    if (instance == nullptr || !scene->GetShapeInstance(util::SmartPtr<oxk::Instance>(instance), shown)) {
      continue;
    }
    const geo::Location inAxes = toAxes * shown->GetLocation();
    const util::SmartPtr<oxk::Shape> shape = shown->GetShape();
    if (!shape) {
      continue;
    }
    if (const util::SmartPtr<oxg::Shape> data = shape->GetShapeData()) {
      const geo::FBox memberBox = geo::FBox::FromDBox(data->ComputeModelGeomBBox());
      if (!memberBox.IsEmpty()) {
        box.Enclose(memberBox.Transformed(inAxes));
      }
      continue;
    }
    int32_t status = oxk::Shape::kDataNone;
    shape->GetDataStatus(kGeometryData, status);
    if (status != oxk::Shape::kDataLoaded) {
      return false;  // still loading: no reference until every member is there
    }
  }
  if (box.IsEmpty()) {
    return false;
  }
  const geo::DPoint3D center = box.GetCenter();
  const geo::DVec3 position = geo::DMat33(axes) * geo::DVec3(center.x, center.y, center.z);
  placed.SetPos(geo::DPoint3D(position.x, position.y, position.z));
  out = placed;
  return true;
}

}  // namespace oxannotations
