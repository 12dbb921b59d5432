#include <algorithm>
#include <mutex>

#include "oxk/World.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "symbol3d/GetPartReferenceLocation.h"
#include "symbol3d/PartPaths.h"
#include "symbol3d/SymbolAnnotation.h"

// Connected parts: the list, how paths resolve, which parts an entry names, and
// connecting parts picked by the user or restored by path.

namespace oxannotations {

std::vector<ConnectedPartInfo> SymbolAnnotation::GetConnectedParts() const {
  std::lock_guard<std::mutex> guard(partsMutex);
  try {
    return connectedParts;
  } catch (...) {
    return {};
  }
}

void SymbolAnnotation::PublishPartIds() {
  try {
    auto ids = std::make_unique<std::vector<util::Symbol>>();
    ids->reserve(connectedParts.size());
    for (const ConnectedPartInfo& part : connectedParts) {
      ids->push_back(part.partId);
    }
    partIdVersions.reserve(partIdVersions.size() + 1);  // so that keeping it cannot fail
    partIds.store(ids.get(), std::memory_order_release);
    partIdVersions.push_back(std::move(ids));
  } catch (...) {
    // Memory ran short: the previous version stays published.
  }
}

bool SymbolAnnotation::HasConnectedParts() const {
  std::lock_guard<std::mutex> guard(partsMutex);
  return !connectedParts.empty();
}

void SymbolAnnotation::StoreLastPos(const util::Symbol& partId, const geo::DPoint3D& position) {
  std::lock_guard<std::mutex> guard(partsMutex);
  for (ConnectedPartInfo& part : connectedParts) {
    if (part.partId == partId) {
      part.lastPos = position;
      return;
    }
  }
}

void SymbolAnnotation::StoreOffset(const util::Symbol& partId, const geo::DVec3& offset) {
  std::lock_guard<std::mutex> guard(partsMutex);
  for (ConnectedPartInfo& part : connectedParts) {
    if (part.partId == partId) {
      part.offset = offset;
      return;
    }
  }
}

bool SymbolAnnotation::IsAttachedToScene() const {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  return static_cast<bool>(scene);
}

bool SymbolAnnotation::IsEbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const {
  if (path.empty()) {
    return false;
  }
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::Tree> tree;
  if (!oxk::World::GetWorld(world) || !world->GetTree(tree)) {
    return false;
  }
  out = tree->FindInstance(path);
  return static_cast<bool>(out);
}

bool SymbolAnnotation::IsSbomTreeIdPath(const util::Symbol& path,
                                        util::SmartPtr<oxk::illustration::SbomInstance>& out) const {
  out.Reset();
  if (path.empty()) {
    return false;
  }
  if (const util::SmartPtr<oxkapp::illustration::OrbisApp> app = oxkapp::illustration::OrbisApp::GetOrbisApp()) {
    if (const util::SmartPtr<oxk::illustration::SbomTree> tree = app->GetSbomTree()) {
      out = tree->FindInstance(path);
      if (out) {
        return true;
      }
    }
  }
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  if (const auto* illustration = dynamic_cast<const oxk::illustration::Illustration3dScene*>(scene.get())) {
    if (const util::SmartPtr<oxk::illustration::SbomTree> tree = illustration->GetSbomTree()) {
      out = tree->FindInstance(path);
      return static_cast<bool>(out);
    }
  }
  return false;
}

void SymbolAnnotation::GetInstanceByPath(util::SmartPtr<oxk::Instance>& out, const util::Symbol& path) const {
  out.Reset();
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  if (IsSbomTreeIdPath(path, sbom)) {
    out = sbom->GetEbomInstance();
    return;
  }
  IsEbomTreeIdPath(path, out);
}

bool SymbolAnnotation::ResolvesPartPath(const util::Symbol& path) const {
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  util::SmartPtr<oxk::Instance> found;
  return IsSbomTreeIdPath(path, sbom) || IsEbomTreeIdPath(path, found);
}

bool SymbolAnnotation::CheckValidInstance(const util::SmartPtr<oxk::ShapeScene>& scene,
                                          const util::SmartPtr<oxk::Instance>& instance, util::Symbol& partPath,
                                          util::Symbol& assemblyPath) const {
  if (!scene || !instance) {
    return false;
  }
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  if (!instance->GetSbomInstance(sbom)) {
    partPath = instance->GetIdPath();
    return true;
  }
  if (!sbom->HasChildren()) {
    assemblyPath = util::Symbol();
    partPath = sbom->GetIdPath();
    return true;
  }
  // A weld: connected through the first member the user can see that has geometry.
  assemblyPath = sbom->GetIdPath();
  std::vector<util::SmartPtr<oxk::Instance>> members;
  std::vector<util::SmartPtr<oxk::illustration::SbomInstance>> items;
  if (!sbom->GetEbomInstancesForWeld(members, items) || members.empty()) {
    return false;
  }
  geo::FBox pickedBox;
  const bool pickedHasBox = instance->GetShapeSourceBBox(pickedBox) && !pickedBox.IsEmpty();
  for (const auto& member : members) {
    util::SmartPtr<oxk::ShapeInstance> shown;
    if (!member || !scene->GetShapeInstance(member, shown) || !shown->IsVisible()) {
      continue;
    }
    if (!pickedHasBox && !shown->GetShape()) {
      continue;
    }
    util::SmartPtr<oxk::illustration::SbomInstance> memberItem;
    partPath = member->GetSbomInstance(memberItem) ? memberItem->GetIdPath() : member->GetIdPath();
    return true;
  }
  return false;
}

bool SymbolAnnotation::isConnectedPart(const util::SmartPtr<oxk::ShapeInstance>& part) const {
  // Asked by every scene notification, for every symbol of the scene: no lock, no count.
  const std::vector<util::Symbol>* ids = partIds.load(std::memory_order_acquire);
  if (!part || ids == nullptr || ids->empty()) {
    return false;
  }
  const util::SmartPtr<oxk::Instance>& instance = part->GetInstance();
  if (!instance) {
    return false;
  }
  const PartPaths paths = PartPaths::Of(*instance);
  return std::any_of(ids->begin(), ids->end(), [&](const util::Symbol& partId) { return paths.Matches(partId); });
}

bool SymbolAnnotation::isConnectedPart(const util::Symbol& path) const {
  std::lock_guard<std::mutex> guard(partsMutex);
  for (const ConnectedPartInfo& part : connectedParts) {
    if (part.partId == path) {
      return true;
    }
  }
  return false;
}

bool SymbolAnnotation::GetConnectedPartAssembly(util::SmartPtr<oxk::Instance>& instance) const {
  if (!instance) {
    return false;
  }
  const PartPaths paths = PartPaths::Of(*instance);
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    if (!paths.Matches(entry.partId)) {
      continue;
    }
    util::SmartPtr<oxk::Instance> assembly;
    GetInstanceByPath(assembly, entry.assemblyPartId);
    if (!assembly) {
      return false;
    }
    instance = assembly;
    return true;
  }
  return false;
}

bool SymbolAnnotation::GetEntryReferenceLocation(const ConnectedPartInfo& entry,
                                                 const util::SmartPtr<oxk::ShapeInstance>& part,
                                                 geo::Location& out) const {
  util::SmartPtr<oxk::Instance> assembly;
  GetInstanceByPath(assembly, entry.assemblyPartId);
  return GetPartReferenceLocation(part, out, assembly);
}

bool SymbolAnnotation::GetConnectedPartShapeInstance(util::SmartPtr<oxk::ShapeInstance>& out) const {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  if (!scene) {
    return false;
  }
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    const PartInScene found = FindPartInScene(*scene, entry.partId);
    if (!found.instance) {
      continue;
    }
    out = found.shape;
    if (out) {
      return true;
    }
  }
  return false;
}

SymbolAnnotation::PartInScene SymbolAnnotation::FindPartInScene(const oxk::ShapeScene& scene,
                                                                const util::Symbol& partPath) const {
  PartInScene found;
  GetInstanceByPath(found.instance, partPath);
  if (found.instance) {
    scene.GetShapeInstance(found.instance, found.shape);
  }
  return found;
}

void SymbolAnnotation::AddSelectedPart(const util::SmartPtr<oxk::ShapeInstance>& part,
                                       const util::SmartPtr<oxk::ShapeScene>& scene,
                                       const util::SmartPtr<oxk::Instance>& instance, const geo::DPoint3D& pickPoint) {
  try {
    if (!annotationSymbol || !scene) {
      return;
    }
    if (part) {
      if (isConnectedPart(part)) {
        return;
      }
    } else {
      if (!instance) {
        return;
      }
      const PartPaths paths = PartPaths::Of(*instance);
      if ((!paths.sbomPath.empty() && isConnectedPart(paths.sbomPath)) || isConnectedPart(paths.path)) {
        return;
      }
    }
    util::SmartPtr<oxk::Instance> picked = instance;
    if (!picked) {
      part->GetInstance(picked);
    }
    util::Symbol partPath;
    util::Symbol assemblyPath;
    if (!CheckValidInstance(scene, picked, partPath, assemblyPath)) {
      return;
    }
    {
      std::lock_guard<std::mutex> guard(partsMutex);
      connectedParts.push_back(ConnectedPartInfo{partPath, assemblyPath, pickPoint, geo::DVec3()});
      PublishPartIds();
    }
    if (assemblyPath.empty() || assemblyPath == partPath) {
      SaveLastConnectPartPos(part);
    } else {
      // Picked through its assembly: the member that was connected gives the position.
      if (const PartInScene member = FindPartInScene(*scene, partPath); member.shape) {
        SaveLastConnectPartPos(member.shape);
      }
    }
    UpdateOffsetWithConnectedParts();
  } catch (...) {
    // Memory ran short: the part is not connected, or its position not yet recorded.
  }
}

void SymbolAnnotation::AddSelectedPart(const util::Symbol& partPath, const geo::DPoint3D& lastPos,
                                       const geo::DVec3& offset, const util::Symbol& assemblyPath) {
  if (isConnectedPart(partPath)) {
    return;
  }
  if (IsAttachedToScene() && !ResolvesPartPath(partPath)) {
    return;
  }
  std::lock_guard<std::mutex> guard(partsMutex);
  try {
    connectedParts.push_back(ConnectedPartInfo{partPath, assemblyPath, lastPos, offset});
  } catch (...) {
    return;  // memory ran short: not connected
  }
  PublishPartIds();
}

void SymbolAnnotation::AddConnectedPartsByPath(const std::vector<ConnectedPartInfo>& parts) {
  if (!annotationSymbol) {
    return;
  }
  for (const ConnectedPartInfo& part : parts) {
    AddSelectedPart(part.partId, part.lastPos, part.offset, part.assemblyPartId);
  }
}

void SymbolAnnotation::RemoveUnvalidParts() {
  std::vector<ConnectedPartInfo> kept;
  for (const ConnectedPartInfo& part : GetConnectedParts()) {
    if (ResolvesPartPath(part.partId)) {
      kept.push_back(part);
    }
  }
  std::lock_guard<std::mutex> guard(partsMutex);
  if (kept.size() != connectedParts.size()) {
    connectedParts.swap(kept);
    PublishPartIds();
  }
}

}  // namespace oxannotations
