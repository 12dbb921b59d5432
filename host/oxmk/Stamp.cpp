#include "oxmk/Stamp.h"

#include <algorithm>

#include "oxk/MarkupController.h"
#include "oxmu/PrimitiveRectangle.h"

namespace oxmk {

Stamp::Stamp(bool screenSpace, int32_t anchor, bool in3D)
    : m_screenSpace(screenSpace),
      m_anchor(anchor),
      m_in3D(in3D),
      m_shadow(new StampShadow(geo::DPoint3D::ORIGIN, 0.0f, 0.0f)) {}

geo::DPoint3D Stamp::GetCenter() const {
  return GetLocation().GetPos();
}

void Stamp::SetCenter(const geo::DPoint3D& center) {
  geo::Location placement = GetLocation();
  placement.SetPos(center);
  SetLocation(placement);
}

float Stamp::GetWidth() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_width;
}

void Stamp::SetWidth(float width) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_width = width;
}

float Stamp::GetHeight() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_height;
}

void Stamp::SetHeight(float height) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_height = height;
}

bool Stamp::IsBillboard3D() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_billboard;
}

void Stamp::SetBillboard3D(bool billboard) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_billboard = billboard;
}

geo::Color Stamp::GetLineColor() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_lineColor;
}

void Stamp::SetLineColor(const geo::Color& color) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_lineColor = color;
}

geo::Color Stamp::GetFillColor() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_fillColor;
}

void Stamp::SetFillColor(const geo::Color& color) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_fillColor = color;
}

float Stamp::GetTransparency() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_transparency;
}

void Stamp::SetTransparency(float transparency) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_transparency = transparency;
}

bool Stamp::GetReverse() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_reverse;
}

void Stamp::SetReverse(bool reverse) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_reverse = reverse;
}

bool Stamp::GetFlipHorizontally() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_flipHorizontally;
}

void Stamp::SetFlipHorizontally(bool flip) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_flipHorizontally = flip;
}

util::SmartPtr<oximg::Image> Stamp::GetImage() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_image;
}

void Stamp::SetImage(const util::SmartPtr<oximg::Image>& image) {
  util::SmartPtr<oximg::Image> previous;
  std::lock_guard<std::mutex> guard(GetMutex());
  previous = m_image;
  m_image = image;
}

void Stamp::CycleShadow() {
  util::SmartPtr<StampShadow> fresh(new StampShadow(GetCenter(), GetWidth(), GetHeight()));
  fresh->SetLocation(GetLocation());
  util::SmartPtr<StampShadow> previous;
  std::lock_guard<std::mutex> guard(GetMutex());
  previous = m_shadow;
  m_shadow = fresh;
}

util::SmartPtr<oxk::Markup> Stamp::GetShadow() const {
  return GetStampShadow();
}

util::SmartPtr<StampShadow> Stamp::GetStampShadow() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_shadow;
}

void Stamp::GetContent(const geo::Pipeline& /*pipeline*/, oxcontext::Context2D* context, int32_t /*n*/,
                       std::vector<util::SmartPtr<oxmu::Primitive>>& primitives) const {
  const double width = GetWidth(), height = GetHeight();
  util::SmartPtr<oxmu::PrimitiveRectangle> frame(new oxmu::PrimitiveRectangle(-width, -height, width, height));
  frame->SetLocation(GetLocation());
  frame->lineColor = GetLineColor();
  frame->fillColor = GetFillColor();
  frame->transparency = GetTransparency();
  // Outlines are one point wide: as many device pixels as the resolution gives.
  frame->lineWidth = context != nullptr ? std::max(1, context->GetHorizontalResolution() / 72) : 1;
  primitives.push_back(frame);
}

bool Stamp::ApplyUserChange(const geo::DPoint3D& center, float width, float height,
                            const util::SmartPtr<oxk::Operation>& operation) {
  oxk::MarkupController* controller = GetController();
  if (controller == nullptr) {
    return false;
  }
  // The drag starts from the stamp as it is: a fresh shadow keeps where it was.
  CycleShadow();
  const util::SmartPtr<StampShadow> shadow = GetStampShadow();
  shadow->SetWidth(width);
  shadow->SetHeight(height);
  SetCenter(center);
  // The controller may be the stamp's only owner: keep both alive through the call.
  const util::SmartPtr<util::RefCounted> keepController(controller);
  const util::SmartPtr<oxk::Markup> self(this);
  const bool accepted = controller->MarkupUpdated(self, shadow, operation);
  NotifyContentChanged();
  return accepted;
}

}  // namespace oxmk
