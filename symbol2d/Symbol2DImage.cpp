#include <new>
#include <utility>

#include "catalogue/PartslibraryList.h"
#include "common/SymbolFiles.h"
#include "conc/MutexGuard.h"
#include "oxk/Kernel.h"
#include "oxk/illustration/Limner.h"
#include "oxloader/Loader.h"
#include "symbol2d/StampLoaderEvent.h"
#include "symbol2d/Symbol2D.h"
#include "util/FileSystem.h"

// The 2D symbol's image: where its file is, the catalogue look-ups by identifier, the
// asynchronous load and what the symbol does when it ends.

namespace oxannotations {

namespace {

// Frozen: the prefix of a local file url.
constexpr const char* kFileUrlPrefix = "file:///";

}  // namespace

bool Symbol2D::GetImageFromTempDir(util::Symbol& url) {
  try {
    return ImageUrlFor(info.imageFileName, url);
  } catch (...) {
    return false;  // memory ran short: url as it was
  }
}

bool Symbol2D::ImageUrlFor(const util::Symbol& fileName, util::Symbol& url) const {
  if (fileName.empty()) {
    return false;
  }
  if (!oxk::illustration::IsRunningLimner()) {
    ExtractSymbolsFromOxzFile(url, fileName);
    return true;
  }
  std::string path;
  if (!oxcommon::TempSymbolsFolderPath(fileName, path)) {
    return false;
  }
  url = util::Symbol(path);
  if (!util::FileSystem::FileExists(path)) {
    return false;
  }
  url = util::Symbol(kFileUrlPrefix + path);
  return true;
}

bool Symbol2D::ExtractSymbolsFromOxzFile(util::Symbol& url, const util::Symbol& file) const {
  oxcommon::PackedFileUrl(file, url);
  return true;
}

bool Symbol2D::FindCatalogueImageUrl(int id, std::string& url) {
  try {
    // Read afresh at every call: the library files may have changed since the last.
    oxsymbols::PartslibraryList catalogue;
    catalogue.ReadPreferencesXML(false);
    if (const util::SmartPtr<oxsymbols::PartslibraryImageItem> item = catalogue.GetImageFromImageList(id)) {
      url = item->GetImageUrl();
      return true;
    }
  } catch (...) {
    // Out of memory while reading: as if there were no such entry.
  }
  return false;
}

util::Symbol Symbol2D::GetImageByID(int id) const {
  try {
    std::string url;
    return FindCatalogueImageUrl(id, url) ? util::Symbol(url) : util::Symbol();
  } catch (...) {
    // Memory ran short: as if there were no such entry.
    return {};
  }
}

util::Symbol Symbol2D::GetImageUrlByID(int id) const {
  try {
    std::string url;
    if (!FindCatalogueImageUrl(id, url)) {
      return util::Symbol();
    }
    oxsymbols::PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(url);
    return util::Symbol(kFileUrlPrefix + url);
  } catch (...) {
    // Memory ran short: as if there were no such entry.
    return {};
  }
}

void Symbol2D::LoadImage(oxk::AsyncEvent* parent) {
  util::SmartPtr<StampLoaderEvent> load;
  try {
    const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
    const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
    if (!loader || !kernel) {
      return;
    }
    const util::SmartPtr<oxk::Image> image = info.image;
    const bool hadImageData = image && image->GetImageData();
    load = util::SmartPtr<StampLoaderEvent>(new (std::nothrow) StampLoaderEvent(
        util::SmartPtr<Symbol2D>(this), image, parent, hadImageData, AttachmentCount()));
    if (load) {
      kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(load.get()));
      loader->LoadImage(image, util::SmartPtr<oxk::AsyncEvent>(load.get()), util::Symbol());
      return;
    }
  } catch (...) {
    // Memory ran short before the loader took the load: it ends here, as a failed load
    // does, so that the kernel lets go of the event and the caller's event completes.
    if (load) {
      if (!load->IsComplete()) {
        load->Complete(oxloader::Loader::kMissing);
      }
      return;
    }
  }
  // No load could be made: the caller's event still completes, as after a failed load.
  if (parent != nullptr && !parent->IsComplete()) {
    parent->Complete(oxloader::Loader::kMissing);
  }
}

uint64_t Symbol2D::AttachmentCount() const {
  conc::MutexGuard guard(stateMutex);
  return attachments;
}

void Symbol2D::OnImageLoaded(const util::SmartPtr<oxk::Image>& loaded, bool hadImageData) {
  OnImageLoaded(loaded, hadImageData, AttachmentCount());
}

void Symbol2D::OnImageLoaded(const util::SmartPtr<oxk::Image>& /*loaded*/, bool hadImageData, uint64_t attachment) {
  try {
    util::SmartPtr<oxk::AsyncEvent> released;  // let go of after the lock
    {
      conc::MutexGuard guard(stateMutex);
      // A reload keeps the data turned by the first load; the first is turned even when it
      // arrives late, or the image would stay unturned for good.
      if (!hadImageData) {
        SetImageRotationLocked(info.rotateRight, info.rotateLeft);
      }
      if (attachment != attachments) {
        return;  // detached, or attached elsewhere, since the load started: not for this scene
      }
      SetStampImageLocked();
      if (stamp2D) {
        stamp2D->SetImage(info.image);
        const double x = info.center.x, y = info.center.y;
        stamp2D->SetStampExtents(geo::DBox2D{x - info.width, y - info.height, x + info.width, y + info.height});
        stamp2D->SetImageFilename(info.imageFileName);
      } else {
        if (!CreatedFromFile()) {
          origWidth = static_cast<float>(GetImageWidth()) * 0.5f;
          origHeight = static_cast<float>(GetImageHeight()) * 0.5f;
        }
        if (info.width < 0 && info.height < 0) {
          SetMarkupSizeAsImageLocked();
        }
        info.transparency = 0.0f;
        if (markup) {
          markup->SetTransparency(0.0f);
          markup->SetController(this);
          if (scene) {
            scene->AddMarkup(util::SmartPtr<oxk::Markup>(markup.get()));
          }
        }
        oxk::Annotation::AttachScene(scene);
      }
      released = std::move(event);
    }
    const util::SmartPtr<oxk::ObservableEvent> displayed(
        new (std::nothrow) UniversalMeasurementObserver::MeasurementDisplayedEvent(true));
    if (displayed) {
      PostObservableEvent(displayed, 0);
    }
  } catch (...) {
    // Memory ran short handing the image over: what was done stays; the caller's event still completes.
  }
}

void Symbol2D::SetStampImage() {
  conc::MutexGuard guard(stateMutex);
  SetStampImageLocked();
}

void Symbol2D::SetStampImageLocked() {
  if (!markup) {
    return;
  }
  markup->SetImage(info.image ? info.image->GetImageData() : util::SmartPtr<oximg::Image>());
  markup->SetVisibility(IsVisible());
}

void Symbol2D::InitImageInfo(const util::Symbol& url, const util::Symbol& name, const util::Symbol& fileName, int id,
                             bool billboard) {
  try {
    conc::MutexGuard guard(stateMutex);
    if (info.image) {
      info.image->SetURL(url);
    }
    info.isBillboard = billboard;
    info.imageName = name;
    info.imageFileName = fileName;
    info.imageID = id;
  } catch (...) {
    // Memory ran short: the fields set so far stay.
  }
}

void Symbol2D::Initialise() {
  LoadImage(GetEvent().get());
}

void Symbol2D::SetEvent(const util::SmartPtr<oxk::AsyncEvent>& newEvent) {
  util::SmartPtr<oxk::AsyncEvent> previous = newEvent;  // the old one goes after the lock
  conc::MutexGuard guard(stateMutex);
  std::swap(previous, event);
}

util::SmartPtr<oxk::AsyncEvent> Symbol2D::GetEvent() const {
  conc::MutexGuard guard(stateMutex);
  return event;
}

int Symbol2D::GetImageWidth() const {
  uint32_t width = 0, height = 0;
  return info.image && info.image->GetSize(width, height) ? static_cast<int>(width) : -1;
}

int Symbol2D::GetImageHeight() const {
  uint32_t width = 0, height = 0;
  return info.image && info.image->GetSize(width, height) ? static_cast<int>(height) : -1;
}

std::string Symbol2D::GetTempDir() const {
  try {
    conc::MutexGuard guard(stateMutex);
    return tempDir;
  } catch (...) {
    // Memory ran short.
    return {};
  }
}

void Symbol2D::DeleteTempDir() {
  try {
    conc::MutexGuard guard(stateMutex);
    oxcommon::DeleteTempFolder(tempDir);
  } catch (...) {
    // The folder stays for a later call.
  }
}

}  // namespace oxannotations
