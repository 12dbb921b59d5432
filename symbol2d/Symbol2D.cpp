#include "symbol2d/Symbol2D.h"

#include <cmath>
#include <new>

#include "catalogue/PartslibraryList.h"
#include "common/Illustration2DTarget.h"
#include "common/ModuleLocalizer.h"
#include "common/SequencerTagContent.h"
#include "common/SymbolFiles.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "objm/ObserverProxy.h"
#include "oxannotations/ConstStrings.h"
#include "oxannotations/MoveOperationStep.h"
#include "oxannotations/SizeOperationStep.h"
#include "oxk/Kernel.h"
#include "oxk/Pipeline.h"
#include "oxk/ShapeView.h"
#include "oxk/World.h"
#include "oxk/illustration/Limner.h"
#include "oxk/illustration2d/BaseKernelFactory.h"
#include "oxk/illustration2d/Document2D.h"
#include "oxk/illustration2d/Scene2D.h"
#include "oxloader/Loader.h"
#include "oxmu/PrimitiveRectangle.h"
#include "symbol2d/SerializedContentVisitor.h"
#include "symbol2d/StampLoaderEvent.h"
#include "symbol2d/Symbol2DContentKeys.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/FileSystem.h"
#include "util/Localizer.h"

namespace oxannotations {

using Value = oxk::SerializedContentElement::Value;
namespace k2 = symbol2dkeys;
namespace k = symbolkeys;

namespace {

// Frozen host values passed through unchanged.
constexpr int32_t kStampAnchor = 1;
constexpr int kPixelBoxDetail = 24;
constexpr int32_t kBillboardManipulation = 21;
constexpr int32_t kPlacedManipulation = 42;
constexpr const char* kFileUrlPrefix = "file:///";

util::SmartPtr<oxk::Image> NewImage() {
  return util::SmartPtr<oxk::Image>(new (std::nothrow) oxk::Image());
}

// Half away from zero, as the device resolution is rounded.
int RoundHalfAway(float value) {
  return static_cast<int>(value < 0 ? std::ceil(value - 0.5f) : std::floor(value + 0.5f));
}

}  // namespace

Symbol2D::Symbol2D() : Annotation(kAnnotationType) {
  info.showTooltipTitle = true;
  info.showTooltipDescription = false;
  info.width = 30.0f;
  info.height = 30.0f;
  info.lineColor = geo::Color(0, 0, 0, 1);
  info.fillColor = geo::Color(0, 0, 0, 1);
  info.image = NewImage();
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
}

Symbol2D::Symbol2D(const Symbol2DInfo& record) : Annotation(kAnnotationType) {
  info.image = NewImage();
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
  SetSymbolInfo(record);
}

Symbol2D::Symbol2D(const Symbol2D& other)
    : util::RefCounted(other),
      Annotation(other),
      info(other.info),
      markup(other.markup),
      scene(other.GetScene()),
      origWidth(other.origWidth),
      origHeight(other.origHeight),
      event(other.GetEvent()),
      tempDir(other.GetTempDir()),
      stamp2D(other.GetStamp2D()) {
  info.image = NewImage();
  if (info.image && other.info.image) {
    info.image->SetURL(other.info.image->GetURL());
  }
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
}

Symbol2D::~Symbol2D() {
  // The markup may outlive the symbol in a scene; it must not call back into it.
  if (markup && markup->GetController() == static_cast<oxk::MarkupController*>(this)) {
    markup->SetController(nullptr);
  }
}

util::Symbol Symbol2D::GetClassStatic() {
  return ConstStrings::oxSymbol2D;
}

util::Symbol Symbol2D::GetSymbolFileName() {
  return k2::imageFileName;
}

unsigned char Symbol2D::GetBaseEventId() {
  return static_cast<unsigned char>(oxk::Observable::GetNextEventId());
}

void Symbol2D::SetSymbolInfo(const Symbol2DInfo& record) {
  conc::WriteGuard guard(GetRWLock());
  const util::SmartPtr<oxk::Image> ownImage = info.image;
  info = record;
  info.image = ownImage;
  SetOrigSize(record.width, record.height);
  util::Symbol url;
  (void)GetImageFromTempDir(url);
  if (info.image) {
    info.image->SetURL(url);
  }
  if (info.title.empty() && !info.imageName.empty()) {
    info.title = info.imageName;
  }
}

void Symbol2D::SetTitle(const std::string& text, bool show) {
  info.title = util::Symbol(text);
  info.showTooltipTitle = show;
}

void Symbol2D::SetDescription(const std::string& text, bool show) {
  info.description = util::Symbol(text);
  info.showTooltipDescription = show;
}

void Symbol2D::SetReverse(bool reverse) {
  info.reverse = reverse;
  if (markup) {
    markup->SetReverse(reverse);
  }
}

void Symbol2D::SetFlipHorizontally(bool flip) {
  info.flipHorizontally = flip;
  if (markup) {
    markup->SetFlipHorizontally(flip);
  }
}

void Symbol2D::SetPageNum(int32_t page) {
  info.pageNum = page;
  if (markup) {
    markup->SetPageNum(page);
  }
}

void Symbol2D::GetOrigSize(float& width, float& height) const {
  width = origWidth;
  height = origHeight;
}

void Symbol2D::SetOrigSize(float width, float height) {
  origWidth = width;
  origHeight = height;
}

// The image.

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

// Scenes, markup and 2D element.

util::SmartPtr<oxk::Annotation> Symbol2D::Clone() const {
  conc::ReadGuard guard(GetRWLock());
  util::SmartPtr<Symbol2D> copy(new (std::nothrow) Symbol2D(info));
  if (copy) {
    copy->SetCreatedFromFile(true);
  }
  return copy;
}

util::SmartPtr<oxk::Scene> Symbol2D::GetScene() const {
  std::lock_guard<std::mutex> guard(sharedMutex);
  return scene;
}

util::SmartPtr<oxk::illustration2d::Stamp2D> Symbol2D::GetStamp2D() const {
  std::lock_guard<std::mutex> guard(sharedMutex);
  return stamp2D;
}

bool Symbol2D::AttachScene(const util::SmartPtr<oxk::Scene>& newScene) {
  conc::WriteGuard guard(GetRWLock());
  if (!newScene || newScene == GetScene()) {
    return true;
  }
  if (!markup) {
    const bool in3D = !util::DynamicCast<oxk::illustration2d::Scene2D>(newScene);
    markup = util::SmartPtr<oxmk::Stamp>(new (std::nothrow) oxmk::Stamp(info.screenSpace, kStampAnchor, in3D));
    if (!markup) {
      return false;
    }
  }
  markup->SetVisibility(false);
  markup->SetCenter(info.center);
  markup->SetBillboard3D(info.isBillboard);
  markup->SetWidth(info.width);
  markup->SetHeight(info.height);
  markup->SetPageNum(info.pageNum);
  markup->SetLineColor(info.lineColor);
  markup->SetFillColor(info.fillColor);
  markup->SetTransparency(info.transparency);
  markup->SetReverse(info.reverse);
  markup->SetFlipHorizontally(info.flipHorizontally);
  if (CreatedFromFile() && info.bbXform != geo::Location::ZERO) {
    markup->SetLocation(info.bbXform);
  }
  {
    util::SmartPtr<oxk::Scene> previous;
    std::lock_guard<std::mutex> shared(sharedMutex);
    previous = scene;
    scene = newScene;
  }
  newScene->AddAnnotation(util::SmartPtr<oxk::Annotation>(this));
  LoadImage(GetEvent().get());
  return true;
}

bool Symbol2D::DetachScene() {
  conc::WriteGuard guard(GetRWLock());
  util::SmartPtr<oxk::Scene> previous;
  {
    std::lock_guard<std::mutex> shared(sharedMutex);
    previous = std::move(scene);
  }
  if (markup) {
    markup->SetController(nullptr);
    if (previous) {
      previous->RemoveMarkup(util::SmartPtr<oxk::Markup>(markup.get()));
    }
  }
  return oxk::Annotation::DetachScene();
}

void Symbol2D::CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& target) {
  if (!IsVisible() || !info.isBillboard) {
    return;
  }
  using namespace oxk::illustration2d;
  oxcommon::Illustration2DTarget found2D;
  if (!oxcommon::Illustration2DTarget::Find(target, found2D)) {
    return;
  }
  const util::SmartPtr<BaseKernelFactory>& factory = found2D.factory;
  const util::SmartPtr<Document2D>& document = found2D.document;
  const util::SmartPtr<Stamp2D> element = factory->CreateStamp2D();
  if (!element) {
    return;
  }
  document->GetTree()->AppendChild(util::SmartPtr<Node2D>(element.get()));
  element->SetLayer(document->FindLayer(util::Symbol(Document2D::kAnnotationLayer)));
  element->SetIDPath(GetIDPath());
  element->SetDerivedFromSymbol(true);
  element->SetVerFlip(info.reverse);
  element->SetHorFlip(info.flipHorizontally);
  element->SetDescription(info.description.str());
  element->SetTitle(info.title.str());
  element->SetUseDescription(info.showTooltipDescription);
  element->SetUseTitle(info.showTooltipTitle);
  util::SmartPtr<Stamp2D> previous;
  std::lock_guard<std::mutex> shared(sharedMutex);
  previous = stamp2D;
  stamp2D = element;
}

void Symbol2D::CompleteAnnotation2D(const util::SmartPtr<oxk::Scene>& /*target*/,
                                    const util::SmartPtr<oxk::AsyncEvent>& completion) {
  LoadImage(completion.get());
}

bool Symbol2D::MarkupUpdated(const util::SmartPtr<oxk::Markup>& updated, const util::SmartPtr<oxk::Markup>& previous,
                             const util::SmartPtr<oxk::Operation>& operation) {
  if (!markup || updated.get() != static_cast<oxk::Markup*>(markup.get())) {
    return true;
  }
  util::SmartPtr<oxmk::StampShadow> shadow = util::DynamicCast<oxmk::StampShadow>(previous);
  if (!shadow) {
    shadow = markup->GetStampShadow();
  }
  const float newWidth = shadow->GetWidth(), newHeight = shadow->GetHeight();
  const float previousWidth = markup->GetWidth(), previousHeight = markup->GetHeight();
  const geo::DPoint3D oldCenter = shadow->GetOldCenter();
  info.width = newWidth;
  info.height = newHeight;
  info.center = markup->GetCenter();
  markup->SetWidth(newWidth);
  markup->SetHeight(newHeight);
  if (!operation) {
    return true;
  }
  if (!(info.center == oldCenter)) {
    geo::Location current;
    GetMarkupLocation(0, current);
    geo::Location from = current;
    from.SetPos(oldCenter);
    operation->AddStep(util::SmartPtr<oxk::OperationStep>(
        new (std::nothrow) MoveOperationStep(util::SmartPtr<oxk::Annotation>(this), 0, from, current, true)));
  }
  if (newWidth != previousWidth || newHeight != previousHeight) {
    operation->AddStep(util::SmartPtr<oxk::OperationStep>(new (std::nothrow) SizeOperationStep(
        util::SmartPtr<oxk::Annotation>(this), 0, geo::DVec3(previousWidth, previousHeight, 0),
        geo::DVec3(newWidth, newHeight, 0))));
  }
  return true;
}

void Symbol2D::MarkupSelected(const util::SmartPtr<oxk::Markup>& /*selected*/, bool /*isSelected*/) {}

bool Symbol2D::AllowGroupDrag() const {
  return true;
}

bool Symbol2D::GetMarkupShadow(util::SmartPtr<oxk::Markup>& out) const {
  out = markup ? markup->GetShadow() : util::SmartPtr<oxk::Markup>();
  return static_cast<bool>(out);
}

void Symbol2D::GetMarkupLocation(int32_t /*index*/, geo::Location& location) const {
  location = geo::Location(markup ? markup->GetLocation().GetMat() : geo::FMat33::IDENTITY, info.center);
}

void Symbol2D::SetMarkupLocation(int32_t /*index*/, const geo::Location& location) {
  info.center = location.GetPos();
  if (!markup) {
    return;
  }
  markup->SetLocation(location);
  markup->CycleShadow();
  markup->NotifyContentChanged();
}

void Symbol2D::GetMarkupSize(int32_t /*index*/, geo::DVec3& size) const {
  size = geo::DVec3(info.width, info.height, 0);
}

void Symbol2D::SetMarkupSize(int32_t /*index*/, const geo::DVec3& size) {
  info.width = static_cast<float>(size.x);
  info.height = static_cast<float>(size.y);
  if (markup) {
    markup->SetWidth(info.width);
    markup->SetHeight(info.height);
  }
}

int32_t Symbol2D::NumberOfMarkups() const {
  return 1;
}

int32_t Symbol2D::GetManipulationTypes() const {
  if (info.screenSpace) {
    return 0;
  }
  return info.isBillboard ? kBillboardManipulation : kPlacedManipulation;
}

geo::DBox Symbol2D::GetBBox() const {
  geo::DBox box = geo::DBox::EMPTY;
  const geo::DPoint3D& c = info.center;
  box.Enclose(geo::DPoint3D(c.x + info.width, c.y + info.height, c.z));
  box.Enclose(geo::DPoint3D(c.x - info.width, c.y - info.height, c.z));
  return box;
}

bool Symbol2D::IsZoomable() const {
  return true;
}

util::Symbol Symbol2D::GetIconName() const {
  return ConstStrings::oxStampIcon;
}

void Symbol2D::OnSetSelected(bool selected, const util::SmartPtr<oxk::View>& view) {
  if (markup) {
    markup->SetSelected(selected, view);
  }
}

bool Symbol2D::IsEqual(const util::SmartPtr<oxk::Annotation>& /*other*/) const {
  return false;
}

std::string Symbol2D::GetObjectDescription() const {
  conc::ReadGuard guard(GetRWLock());
  return oxcommon::ModuleLocalizer().LocalizeMessage("2048", util::Localizer::kReturnEmpty) + "-" + info.title.str();
}

void Symbol2D::ShowAnnotation() {
  if (markup) {
    markup->SetVisibility(true);
  }
}

void Symbol2D::HideAnnotation() {
  if (markup) {
    markup->SetVisibility(false);
  }
}

// Geometry.

geo::DBox Symbol2D::GetMarkupPixelBBox(const geo::Pipeline& pipeline, oxcontext::Context2D* context, int n) const {
  conc::ReadGuard guard(GetRWLock());
  geo::DBox box = geo::DBox::EMPTY;
  if (!markup) {
    return box;
  }
  std::vector<util::SmartPtr<oxmu::Primitive>> primitives;
  markup->GetContent(pipeline, context, n, primitives);
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
}

void Symbol2D::SetMarkupSizeAsImage() {
  const util::SmartPtr<oxk::Scene> current = GetScene();
  if (!current || !markup) {
    return;
  }
  const util::SmartPtr<oxk::ShapeView> view = util::DynamicCast<oxk::ShapeView>(current->GetView(0));
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
  SetMarkupSize(0, geo::DVec3(w, w / aspect, 0));
}

void Symbol2D::SetImageRotation(int right, int left) {
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
  SetMarkupSize(0, geo::DVec3(origWidth, origHeight, 0));
  if (markup) {
    markup->CycleShadow();
  }
}

bool Symbol2D::IsOriginalSize() const {
  geo::DVec3 size;
  GetMarkupSize(0, size);
  return static_cast<float>(size.x) == origWidth && static_cast<float>(size.y) == origHeight;
}

void Symbol2D::ApplyExtents2D(const geo::DBox2D& box) {
  info.width = static_cast<float>(box.Width() / 2);
  info.height = static_cast<float>(box.Height() / 2);
  info.center = geo::DPoint3D((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2, 0);
  if (markup) {
    markup->SetCenter(info.center);
    markup->SetWidth(info.width);
    markup->SetHeight(info.height);
  }
}

bool Symbol2D::RegisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer) {
  if (!observer) {
    return false;
  }
  util::SmartPtr<objm::ObserverProxy> proxy(new (std::nothrow) objm::ObserverProxy(observer.get(), true));
  if (!proxy) {
    return false;
  }
  conc::WriteGuard guard(GetRWLock());
  return oxk::Observable::RegisterObserver(proxy);
}

bool Symbol2D::UnregisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer) {
  if (!observer) {
    return false;
  }
  return oxk::Observable::UnregisterObserver(observer.get());
}

// Saved content.

void Symbol2D::Visit(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  conc::ReadGuard guard(GetRWLock());
  SerializeAsChild(element, nullptr);
}

bool Symbol2D::Flatten(const util::SmartPtr<oxk::SerializedContentElement>& element,
                       const std::map<util::Symbol, geo::Location>& /*transforms*/,
                       const oxk::FlattenInstanceCheck* /*instanceCheck*/, oxk::Pipeline* pipeline) {
  conc::ReadGuard guard(GetRWLock());
  SerializeAsChild(element, pipeline);
  return true;
}

void Symbol2D::SerializeAsChild(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                const geo::Pipeline* pipeline) {
  if (!element) {
    return;
  }
  const util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(ConstStrings::oxSymbol2D);
  if (!child) {
    return;
  }
  SerializeContent(child, pipeline);
  child->EndContent();
}

void Symbol2D::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  SerializeContent(element, nullptr);
}

void Symbol2D::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                const geo::Pipeline* pipeline) {
  oxk::Annotation::Visit(element);
  element->AddProperty(k::title, Value(info.title));
  element->AddProperty(k::description, Value(info.description));
  element->AddProperty(k::showTooltipTitle, Value(info.showTooltipTitle));
  element->AddProperty(k::showTooltipDescription, Value(info.showTooltipDescription));
  element->AddProperty(k2::imageID, Value(info.imageID));
  element->AddProperty(k2::imageName, Value(info.imageName));
  element->AddProperty(k2::imageFileName, Value(info.imageFileName));
  if (pipeline == nullptr) {
    element->AddProperty(k2::center, Value(info.center));
    element->AddProperty(k2::width, Value(info.width));
    element->AddProperty(k2::height, Value(info.height));
  } else {
    util::SmartPtr<oxcontext::Context2D> context(new (std::nothrow) oxcontext::Context2D());
    if (context) {
      const int resolution = RoundHalfAway(pipeline->GetResolution());
      context->SetResolution(resolution, resolution);
    }
    const geo::DBox pixels = GetMarkupPixelBBox(*pipeline, context.get(), kPixelBoxDetail);
    const geo::DBox2D box{pixels.min.x, pixels.min.y, pixels.max.x, pixels.max.y};
    element->AddProperty(k2::center, Value(geo::DPoint3D((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2, 0)));
    element->AddProperty(k2::width, Value(static_cast<float>(box.Width() / 2)));
    element->AddProperty(k2::height, Value(static_cast<float>(box.Height() / 2)));
  }
  element->AddProperty(k2::lineColor, Value(info.lineColor));
  element->AddProperty(k2::lineWidth, Value(info.lineWidth));
  element->AddProperty(k2::lineStipple, Value(info.lineStipple));
  element->AddProperty(k2::fillColor, Value(info.fillColor));
  element->AddProperty(k2::transparency, Value(info.transparency));
  element->AddProperty(k2::screenSpace, Value(info.screenSpace));
  element->AddProperty(k2::anchor, Value(info.anchor));
  element->AddProperty(k2::reverse, Value(info.reverse));
  element->AddProperty(k2::flipHorizontally, Value(info.flipHorizontally));
  element->AddProperty(k2::rotateRight, Value(info.rotateRight));
  element->AddProperty(k2::rotateLeft, Value(info.rotateLeft));
  element->AddProperty(k2::isbillboard, Value(info.isBillboard));
  if (!info.isBillboard && markup) {
    element->AddProperty(k2::bbXform, Value(markup->GetLocation()));
  }
  element->AddProperty(k2::pageNum, Value(info.pageNum));

  oxcommon::WriteSequencerTags(element, info.sequencerTags);
}

bool Symbol2D::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                               const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
  conc::WriteGuard guard(GetRWLock());
  symbol2d::SerializedContentVisitor visitor{util::SmartPtr<oxk::Annotation>(this)};
  if (element) {
    element->Visit(visitor, true);
  }
  SetSymbolInfo(visitor.GetInfo());
  SetCreatedFromFile(true);
  return true;
}

bool Symbol2D::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                               const util::SmartPtr<objm::ManagedObject>& /*owner*/,
                                               const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) {
  return InitializeFromSerializedContent(element, mapper);
}

}  // namespace oxannotations
