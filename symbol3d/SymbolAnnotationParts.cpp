#include <algorithm>
#include <mutex>

#include "conc/ReadGuard.h"
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
  try {
    return CopyParts();
  } catch (...) {
    return {};
  }
}

std::vector<ConnectedPartInfo> SymbolAnnotation::CopyParts() const {
  std::lock_guard<std::mutex> guard(partsMutex);
  return connectedParts;
}

void SymbolAnnotation::PublishPartIds() {
  auto ids = std::make_unique<std::vector<util::Symbol>>();
  ids->reserve(connectedParts.size());
  for (const ConnectedPartInfo& part : connectedParts) {
    ids->push_back(part.partId);
  }
  partIdVersions.reserve(partIdVersions.size() + 1);  // so that keeping it cannot fail
  partIds.store(ids.get(), std::memory_order_release);
  partIdVersions.push_back(std::move(ids));
  FollowInSceneLocked();
}

void SymbolAnnotation::AppendEntry(const ConnectedPartInfo& entry) {
  std::lock_guard<std::mutex> guard(partsMutex);
  connectedParts.push_back(entry);
  try {
    PublishPartIds();
  } catch (...) {
    connectedParts.pop_back();  // isConnectedPart must not answer for a list it does not see
    throw;
  }
}

bool SymbolAnnotation::HasConnectedParts() const {
  std::lock_guard<std::mutex> guard(partsMutex);
  return !connectedParts.empty();
}

bool SymbolAnnotation::ReadEntry(size_t index, ConnectedPartInfo& out) const {
  std::lock_guard<std::mutex> guard(partsMutex);
  if (index >= connectedParts.size()) {
    return false;
  }
  out = connectedParts[index];
  return true;
}

namespace {

// Whether the entry at an index is still the one read from there before.
bool SameEntry(const ConnectedPartInfo& a, const ConnectedPartInfo& b) {
  return a.partId == b.partId && a.assemblyPartId == b.assemblyPartId;
}

}  // namespace

void SymbolAnnotation::StoreLastPos(size_t index, const ConnectedPartInfo& entry, const geo::DPoint3D& position) {
  std::lock_guard<std::mutex> guard(partsMutex);
  if (index < connectedParts.size() && SameEntry(connectedParts[index], entry)) {
    connectedParts[index].lastPos = position;
  }
}

void SymbolAnnotation::StoreOffset(size_t index, const ConnectedPartInfo& entry, const geo::DVec3& offset) {
  std::lock_guard<std::mutex> guard(partsMutex);
  if (index < connectedParts.size() && SameEntry(connectedParts[index], entry)) {
    connectedParts[index].offset = offset;
  }
}

bool SymbolAnnotation::IsAttachedToScene() const {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  return static_cast<bool>(scene);
}

bool SymbolAnnotation::IsEbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const {
  try {
    return FindInModel(path, out);
  } catch (...) {
    out.Reset();
    return false;
  }
}

bool SymbolAnnotation::IsSbomTreeIdPath(const util::Symbol& path,
                                        util::SmartPtr<oxk::illustration::SbomInstance>& out) const {
  try {
    return FindInSbom(path, out);
  } catch (...) {
    out.Reset();
    return false;
  }
}

// The two look-ups let a shortage of memory through: inside the module "not found" would
// drop a connection that still resolves.

bool SymbolAnnotation::FindInModel(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const {
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

bool SymbolAnnotation::FindInSbom(const util::Symbol& path,
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
  {
    conc::ReadGuard guard(GetRWLock());
    if (shapeInstance) {
      shapeInstance->GetShapeScene(scene);
    }
  }
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
  if (FindInSbom(path, sbom)) {
    out = sbom->GetEbomInstance();
    return;
  }
  FindInModel(path, out);
}

bool SymbolAnnotation::ResolvesPartPath(const util::Symbol& path) const {
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  util::SmartPtr<oxk::Instance> found;
  return FindInSbom(path, sbom) || FindInModel(path, found);
}

bool SymbolAnnotation::CheckValidInstance(const util::SmartPtr<oxk::ShapeScene>& scene,
                                          const util::SmartPtr<oxk::Instance>& instance, util::Symbol& partPath,
                                          util::Symbol& assemblyPath) const {
  try {
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
  } catch (...) {
    // Memory ran short: not connectable now.
    return false;
  }
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
  try {
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
  } catch (...) {
    // Memory ran short: as if no part were shown.
    return false;
  }
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
    AppendEntry(ConnectedPartInfo{partPath, assemblyPath, pickPoint, geo::DVec3()});
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
  try {
    ConnectByPath(ConnectedPartInfo{partPath, assemblyPath, lastPos, offset});
  } catch (...) {
    // Memory ran short: not connected.
  }
}

void SymbolAnnotation::ConnectByPath(const ConnectedPartInfo& entry) {
  if (isConnectedPart(entry.partId)) {
    return;
  }
  if (IsAttachedToScene() && !ResolvesPartPath(entry.partId)) {
    return;
  }
  AppendEntry(entry);
}

void SymbolAnnotation::AddConnectedPartsByPath(const std::vector<ConnectedPartInfo>& parts) {
  try {
    ConnectAllByPath(parts);
  } catch (...) {
    // Memory ran short: the parts connected so far stay.
  }
}

void SymbolAnnotation::ConnectAllByPath(const std::vector<ConnectedPartInfo>& parts) {
  if (!annotationSymbol) {
    return;
  }
  for (const ConnectedPartInfo& part : parts) {
    ConnectByPath(part);
  }
}

void SymbolAnnotation::RemoveUnvalidParts() {
  try {
    std::vector<ConnectedPartInfo> kept;
    for (const ConnectedPartInfo& part : CopyParts()) {  // not an empty list when memory is short
      if (ResolvesPartPath(part.partId)) {
        kept.push_back(part);
      }
    }
    std::lock_guard<std::mutex> guard(partsMutex);
    if (kept.size() == connectedParts.size()) {
      return;
    }
    connectedParts.swap(kept);
    try {
      PublishPartIds();
    } catch (...) {
      connectedParts.swap(kept);  // all kept, as isConnectedPart still sees them
    }
  } catch (...) {
    // Memory ran short: every entry stays for now.
  }
}

}  // namespace oxannotations
