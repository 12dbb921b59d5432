// Document: its parts, their boxes and the view of the model.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "CreateAnnotation.h"
#include "Document.h"
#include "DocumentFormat.h"
#include "KeptContent.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ContentFile.h"
#include "oxk/ModelFile.h"
#include "oxk/ShapeInstance.h"
#include "oxk/Tree.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxk/illustration/SbomTree.h"
#include "oxkapp/OxkApp.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxloader/Loader.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/ConfinedFolder.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace fs = std::filesystem;
using util::ConfinedFolder;
using util::SmartPtr;
using namespace document_format;

SmartPtr<oxk::Anchor> Document::GetAnchor() const {
  SmartPtr<oxk::MultiRootContainer> container;
  SmartPtr<oxk::Structure> structure;
  SmartPtr<oxk::Anchor> anchor;
  if (m_world && m_world->GetMultiRootContainer(container) && container->GetPrimaryStructure(structure)) {
    (void)structure->GetAnchor(anchor);
  }
  return anchor;
}

bool Document::FindPart(const std::string& path, Part& part) const {
  part = Part{path, {}, {}};
  if (path.empty() || path[0] != '/') {
    return false;
  }
  if (const auto illustration = util::DynamicCast<oxk::illustration::Illustration3dScene>(m_scene)) {
    const SmartPtr<oxk::illustration::SbomTree> sbom = illustration->GetSbomTree();
    if (const SmartPtr<oxk::illustration::SbomInstance> item =
            sbom ? sbom->FindInstance(util::Symbol(path)) : nullptr) {
      part.picked = item->GetEbomInstance();
      std::vector<SmartPtr<oxk::illustration::SbomInstance>> items;
      if (!item->GetEbomInstancesForWeld(part.instances, items) && part.picked) {
        part.instances.push_back(part.picked);
      }
      return part.picked && !part.instances.empty();
    }
  }
  SmartPtr<oxk::Tree> tree;
  if (!m_world || !m_world->GetTree(tree)) {
    return false;
  }
  part.picked = tree->FindInstance(util::Symbol(path));
  if (!part.picked) {
    return false;
  }
  part.instances.push_back(part.picked);
  return true;
}

SmartPtr<oxk::ShapeInstance> Document::ShapeOf(const SmartPtr<oxk::Instance>& instance) const {
  SmartPtr<oxk::ShapeInstance> shape;
  if (m_scene) {
    (void)m_scene->GetShapeInstance(instance, shape);
  }
  return shape;
}

geo::DBox Document::WorldBox(const std::vector<SmartPtr<oxk::Instance>>& instances) const {
  geo::DBox box;
  for (const auto& instance : instances) {
    const SmartPtr<oxk::ShapeInstance> shape = ShapeOf(instance);
    const SmartPtr<oxk::Shape> geometry = shape ? shape->GetShape() : nullptr;
    if (!geometry || !geometry->HasGeometry()) {
      continue;
    }
    const geo::FBox model = geometry->GetModelBox();
    if (model.IsEmpty()) {
      continue;
    }
    geo::DBox local;
    local.Enclose(geo::DPoint3D(model.min[0], model.min[1], model.min[2]));
    local.Enclose(geo::DPoint3D(model.max[0], model.max[1], model.max[2]));
    box.Enclose(local.Transformed(shape->GetLocation()));
  }
  return box;
}

geo::DBox Document::ModelBox() const {
  std::vector<SmartPtr<oxk::Instance>> instances;
  // Parts only: the symbols' own nodes carry their annotation.
  for (const auto& shape : m_scene->GetShapeInstances()) {
    SmartPtr<oxk::Instance> instance;
    if (shape->GetInstance(instance) &&
        instance->GetUserData(oxannotations::SymbolAnnotationBase::GetUserDataId()) == nullptr) {
      instances.push_back(instance);
    }
  }
  return WorldBox(instances);
}

geo::Camera3D ModelView(const geo::DBox& box, int width, int height) {
  // Looking from the front right and above: the camera's Z axis (towards the viewer)
  // points to (1, -1, 1), its X axis (right on screen) to (1, 1, 0), its Y axis up.
  const double r2 = std::sqrt(2.0);
  const double r3 = std::sqrt(3.0);
  const double r6 = std::sqrt(6.0);
  const geo::DVec3 u(1 / r2, 1 / r2, 0);
  const geo::DVec3 v(-1 / r6, 1 / r6, 2 / r6);
  const geo::DVec3 w(1 / r3, -1 / r3, 1 / r3);
  const geo::FMat33 axes(static_cast<float>(u.x), static_cast<float>(v.x), static_cast<float>(w.x),
                         static_cast<float>(u.y), static_cast<float>(v.y), static_cast<float>(w.y),
                         static_cast<float>(u.z), static_cast<float>(v.z), static_cast<float>(w.z));
  geo::DPoint3D center(0, 0, 0);
  double extent = 100;
  if (!box.IsEmpty()) {
    center = box.GetCenter();
    // The box's corners seen along the view: the width the camera must cover.
    double halfU = 0;
    double halfV = 0;
    for (int corner = 0; corner < 8; ++corner) {
      const geo::DVec3 d = box.Corner(corner) - center;
      halfU = std::max(halfU, std::fabs(geo::Dot(d, u)));
      halfV = std::max(halfV, std::fabs(geo::Dot(d, v)));
    }
    extent = std::max({2 * halfU, 2 * halfV * width / std::max(1, height), 1.0});
  }
  const double distance = 4 * extent;
  const geo::DPoint3D eye(center.x + w.x * distance, center.y + w.y * distance, center.z + w.z * distance);
  geo::Camera3D camera = geo::Camera3D::Orthographic(geo::Location(axes, eye), extent * 1.25);
  camera.SetViewport(width, height);
  return camera;
}

}  // namespace symbols_tool
