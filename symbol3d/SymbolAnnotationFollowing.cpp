#include <new>

#include "conc/ReadGuard.h"
#include "oxk/Kernel.h"
#include "oxloader/Loader.h"
#include "symbol3d/GetPartReferenceLocation.h"
#include "symbol3d/LoadingConnectPartEvent.h"
#include "symbol3d/MyLoadEvent.h"
#include "symbol3d/PartPaths.h"
#include "symbol3d/SymbolAnnotation.h"

// How the symbol follows its connected parts: recording their last positions and the
// symbol's offsets from them, moving with them, and waiting for their geometry.

namespace oxannotations {

void SymbolAnnotation::SaveLastConnectPartPos(const util::SmartPtr<oxk::ShapeInstance>& part) {
  try {
    util::SmartPtr<oxk::Instance> instance;
    if (!part || !isConnectedPart(part) || !part->GetInstance(instance)) {
      return;
    }
    // Every entry that names the part, not only the first: one part may be connected twice.
    const PartPaths paths = PartPaths::Of(*instance);
    ConnectedPartInfo entry;
    for (size_t index = 0; ReadEntry(index, entry); ++index) {
      geo::Location reference;
      if (paths.Matches(entry.partId) && GetEntryReferenceLocation(entry, part, reference)) {
        StoreLastPos(index, entry, reference.GetPos());
      }
    }
  } catch (...) {
    // Memory ran short: the last positions stay as they were.
  }
}

void SymbolAnnotation::UpdateOffsetWithConnectedParts() {
  try {
    util::SmartPtr<oxk::ShapeScene> scene;
    GetShapeScene(scene);
    const util::SmartPtr<oxk::ShapeInstance> own = GetShapeInstance();
    // While the symbol's shape is being created and placed, the stored offsets are what
    // places it: offsets taken from where the shape stands meanwhile would replace them.
    if (!scene || !own || placingThread.load() == std::this_thread::get_id()) {
      return;
    }
    ConnectedPartInfo entry;
    for (size_t index = 0; ReadEntry(index, entry); ++index) {
      const PartInScene found = FindPartInScene(*scene, entry.partId);
      if (!found.instance) {
        continue;
      }
      const geo::DPoint3D symbolPosition = own->GetLocation().GetPos();
      geo::DVec3 offset;
      if (!found.shape) {
        offset = symbolPosition - entry.lastPos;
      } else {
        geo::Location reference;
        if (!GetEntryReferenceLocation(entry, found.shape, reference)) {
          OnShapeInstanceCreate(found.shape, false, false);
          continue;
        }
        offset = symbolPosition - reference.GetPos();
      }
      if (!offset.IsBad()) {
        StoreOffset(index, entry, offset);
      }
    }
  } catch (...) {
    // Memory ran short: the offsets recorded so far stay.
  }
}

void SymbolAnnotation::UpdateSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& part, bool useOffset) {
  try {
    const util::SmartPtr<oxk::ShapeInstance> own = GetShapeInstance();
    util::SmartPtr<oxk::Instance> instance;
    if (!part || !own || !part->GetInstance(instance)) {
      return;
    }
    const PartPaths paths = PartPaths::Of(*instance);
    // Each entry is read as it is now, not from a copy taken before: after the first entry
    // that names the part has moved the symbol, the last positions of all of them are the
    // part's, so a second entry of the same part adds no displacement.
    ConnectedPartInfo entry;
    for (size_t index = 0; ReadEntry(index, entry); ++index) {
      if (!paths.Matches(entry.partId)) {
        continue;
      }
      geo::Location reference;
      if (!GetEntryReferenceLocation(entry, part, reference)) {
        continue;
      }
      const geo::DVec3 delta = useOffset ? entry.offset : reference.GetPos() - entry.lastPos;
      if (delta.IsBad()) {
        continue;
      }
      geo::Location placed;
      if (legacySymbol.exchange(false)) {
        conc::ReadGuard guard(GetRWLock());
        placed = symbolLocation;  // the stored placement, on the first move after a restore
      } else {
        placed = own->GetLocation();
      }
      placed.SetPos(useOffset ? reference.GetPos() + delta : placed.GetPos() + delta);
      own->SetLocation(placed, false);
      SaveLastConnectPartPos(part);
    }
  } catch (...) {
    // Memory ran short: the symbol stays where it got to.
  }
}

void SymbolAnnotation::UpdateAnnotationLocation() {
  try {
    util::SmartPtr<oxk::ShapeScene> scene;
    GetShapeScene(scene);
    if (!annotationSymbol || !scene) {
      return;
    }
    for (const ConnectedPartInfo& entry : GetConnectedParts()) {
      if (const PartInScene found = FindPartInScene(*scene, entry.partId); found.shape) {
        OnShapeInstanceCreate(found.shape, true, true);
      }
    }
  } catch (...) {
    // Memory ran short: the symbol stays where it is.
  }
}

void SymbolAnnotation::OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>& part, bool updateLocation,
                                             bool useOffset) {
  if (!part) {
    return;
  }
  // Events made on the way that nothing will complete when memory runs short.
  util::SmartPtr<oxk::AsyncEvent> guardEvent;
  util::SmartPtr<oxk::AsyncEvent> memberEvent;
  try {
    util::SmartPtr<oxk::Instance> reference;
    part->GetInstance(reference);
    // Left as the part's own instance when its entry names no assembly that resolves.
    GetConnectedPartAssembly(reference);
    util::SmartPtr<oxk::ShapeScene> scene;
    GetShapeScene(scene);
    const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
    if (!reference || !scene || !kernel) {
      return;
    }
    const util::SmartPtr<oxk::Instance> standIn = scene->GetStandInInstance(reference);
    std::vector<util::SmartPtr<oxk::BaseInstance>> members;
    (standIn ? standIn : reference)->GetMemberSet(members);

    const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
    util::SmartPtr<LoadingConnectPartEvent> waiting;
    for (const auto& member : members) {
      auto* memberInstance = dynamic_cast<oxk::Instance*>(member.get());
      util::SmartPtr<oxk::ShapeInstance> shown;
      if (memberInstance == nullptr || !scene->GetShapeInstance(util::SmartPtr<oxk::Instance>(memberInstance), shown)) {
        continue;
      }
      const util::SmartPtr<oxk::Shape> shape = shown->GetShape();
      int32_t status = oxk::Shape::kDataNone;
      if (!shape || !shape->GetDataStatus(kGeometryData, status) || status == oxk::Shape::kDataLoaded) {
        continue;
      }
      if (!waiting) {
        // The guard keeps the set from completing before every member load was started.
        waiting = util::SmartPtr<LoadingConnectPartEvent>(new (std::nothrow) LoadingConnectPartEvent(
            part, util::SmartPtr<SymbolAnnotation>(this), updateLocation, useOffset));
        if (!waiting) {
          return;
        }
        guardEvent = waiting->CreateNewEvent();
        waiting->AddEvent(guardEvent);
        Manage(kernel, guardEvent.get());
      }
      memberEvent = waiting->CreateNewEvent();
      waiting->AddEvent(memberEvent);
      Manage(kernel, memberEvent.get());
      util::SmartPtr<MyLoadEvent> load;
      if (loader) {
        load = util::SmartPtr<MyLoadEvent>(
            new (std::nothrow) MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), memberEvent.get(), false, true));
      }
      if (load && Manage(kernel, load.get()) && StartLoad(*loader, *kernel, shape, load)) {
        // The load completes memberEvent.
      } else if (loader) {
        memberEvent->Complete(oxloader::Loader::kMissing);  // nothing will load it: do not wait
      }
      memberEvent.Reset();
    }
    if (waiting) {
      guardEvent->Complete();
      return;
    }
    // Nothing is loading, so the geometry is as complete as it will get. Moving goes on
    // now; recording the offsets again would find the same geometry and come back here,
    // so only a completed load brings that caller back.
    if (updateLocation) {
      UpdateSymbolLocation(part, useOffset);
    }
  } catch (...) {
    // Memory ran short: what was started still completes the set; nothing waits for the rest.
    if (memberEvent && !memberEvent->IsComplete()) {
      memberEvent->Complete(oxloader::Loader::kMissing);
    }
    if (guardEvent && !guardEvent->IsComplete()) {
      guardEvent->Complete();
    }
  }
}

void SymbolAnnotation::LoadConnectedPartShapeData(const util::SmartPtr<oxk::ShapeInstance>& part,
                                                  const util::SmartPtr<oxk::AsyncEvent>& parentEvent) {
  const util::SmartPtr<oxk::Shape> shape = part ? part->GetShape() : util::SmartPtr<oxk::Shape>();
  int32_t status = oxk::Shape::kDataNone;
  if (!shape || !shape->GetDataStatus(kGeometryData, status) || status == oxk::Shape::kDataLoaded) {
    return;
  }
  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!loader || !kernel) {
    return;
  }
  try {
    util::SmartPtr<MyLoadEvent> load(
        new (std::nothrow) MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), parentEvent.get(), false, true));
    const bool started = Manage(kernel, load.get()) && StartLoad(*loader, *kernel, shape, load);
    if (!started && parentEvent && !parentEvent->IsComplete()) {
      parentEvent->Complete(oxloader::Loader::kMissing);  // no load will complete it
    }
  } catch (...) {
    // Memory ran short before a load was made: nothing started.
  }
}

}  // namespace oxannotations
