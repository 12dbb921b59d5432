#include <new>

#include "catalogue/PartslibraryList.h"
#include "common/SymbolFiles.h"
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
  if (info.imageFileName.empty()) {
    return false;
  }
  if (!oxk::illustration::IsRunningLimner()) {
    ExtractSymbolsFromOxzFile(url, info.imageFileName);
    return true;
  }
  std::string path;
  if (!oxcommon::TempSymbolsFolderPath(info.imageFileName, path)) {
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
  std::string url;
  return FindCatalogueImageUrl(id, url) ? util::Symbol(url) : util::Symbol();
}

util::Symbol Symbol2D::GetImageUrlByID(int id) const {
  std::string url;
  if (!FindCatalogueImageUrl(id, url)) {
    return util::Symbol();
  }
  oxsymbols::PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(url);
  return util::Symbol(kFileUrlPrefix + url);
}

void Symbol2D::LoadImage(oxk::AsyncEvent* parent) {
  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!loader || !kernel) {
    return;
  }
  const bool hadImageData = info.image && info.image->GetImageData();
  util::SmartPtr<StampLoaderEvent> load(
      new (std::nothrow) StampLoaderEvent(util::SmartPtr<Symbol2D>(this), info.image, parent, hadImageData));
  if (!load) {
    return;
  }
  kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(load.get()));
  loader->LoadImage(info.image, util::SmartPtr<oxk::AsyncEvent>(load.get()), util::Symbol());
}

void Symbol2D::OnImageLoaded(const util::SmartPtr<oxk::Image>& /*loaded*/, bool hadImageData) {
  // A reload keeps the data turned by the first load.
  if (!hadImageData) {
    SetImageRotation(info.rotateRight, info.rotateLeft);
  }
  SetStampImage();
  const util::SmartPtr<oxk::illustration2d::Stamp2D> element = GetStamp2D();
  if (element) {
    element->SetImage(info.image);
    const double x = info.center.x, y = info.center.y;
    element->SetStampExtents(geo::DBox2D{x - info.width, y - info.height, x + info.width, y + info.height});
    element->SetImageFilename(info.imageFileName);
  } else {
    if (!CreatedFromFile()) {
      SetOrigSize(static_cast<float>(GetImageWidth()) * 0.5f, static_cast<float>(GetImageHeight()) * 0.5f);
    }
    if (info.width < 0 && info.height < 0) {
      SetMarkupSizeAsImage();
    }
    info.transparency = 0.0f;
    const util::SmartPtr<oxk::Scene> current = GetScene();
    if (markup) {
      markup->SetTransparency(0.0f);
      markup->SetController(this);
      if (current) {
        current->AddMarkup(util::SmartPtr<oxk::Markup>(markup.get()));
      }
    }
    oxk::Annotation::AttachScene(current);
  }
  {
    util::SmartPtr<oxk::AsyncEvent> released;
    std::lock_guard<std::mutex> guard(sharedMutex);
    released = std::move(event);
  }
  const util::SmartPtr<oxk::ObservableEvent> displayed(
      new (std::nothrow) UniversalMeasurementObserver::MeasurementDisplayedEvent(true));
  if (displayed) {
    PostObservableEvent(displayed, 0);
  }
}

void Symbol2D::SetStampImage() {
  if (!markup) {
    return;
  }
  markup->SetImage(info.image ? info.image->GetImageData() : util::SmartPtr<oximg::Image>());
  markup->SetVisibility(IsVisible());
}

void Symbol2D::InitImageInfo(const util::Symbol& url, const util::Symbol& name, const util::Symbol& fileName, int id,
                             bool billboard) {
  if (info.image) {
    info.image->SetURL(url);
  }
  info.isBillboard = billboard;
  info.imageName = name;
  info.imageFileName = fileName;
  info.imageID = id;
}

void Symbol2D::Initialise() {
  LoadImage(GetEvent().get());
}

void Symbol2D::SetEvent(const util::SmartPtr<oxk::AsyncEvent>& newEvent) {
  util::SmartPtr<oxk::AsyncEvent> previous;
  std::lock_guard<std::mutex> guard(sharedMutex);
  previous = event;
  event = newEvent;
}

util::SmartPtr<oxk::AsyncEvent> Symbol2D::GetEvent() const {
  std::lock_guard<std::mutex> guard(sharedMutex);
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
  std::lock_guard<std::mutex> guard(sharedMutex);
  return tempDir;
}

void Symbol2D::DeleteTempDir() {
  std::lock_guard<std::mutex> guard(sharedMutex);
  oxcommon::DeleteTempFolder(tempDir);
}

}  // namespace oxannotations
