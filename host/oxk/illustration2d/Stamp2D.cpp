#include "oxk/illustration2d/Stamp2D.h"

namespace oxk::illustration2d {

util::SmartPtr<oxk::Image> Stamp2D::GetImage() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_image;
}

void Stamp2D::SetImage(const util::SmartPtr<oxk::Image>& value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_image = value;
}

geo::DBox2D Stamp2D::GetStampExtents() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_extents;
}

void Stamp2D::SetStampExtents(const geo::DBox2D& value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_extents = value;
}

util::Symbol Stamp2D::GetImageFilename() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_imageFilename;
}

void Stamp2D::SetImageFilename(const util::Symbol& value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_imageFilename = value;
}

bool Stamp2D::GetHorFlip() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_horFlip;
}

void Stamp2D::SetHorFlip(bool value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_horFlip = value;
}

bool Stamp2D::GetVerFlip() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_verFlip;
}

void Stamp2D::SetVerFlip(bool value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_verFlip = value;
}

std::string Stamp2D::GetTitle() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_title;
}

void Stamp2D::SetTitle(const std::string& value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_title = value;
}

std::string Stamp2D::GetDescription() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_description;
}

void Stamp2D::SetDescription(const std::string& value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_description = value;
}

bool Stamp2D::GetUseTitle() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_useTitle;
}

void Stamp2D::SetUseTitle(bool value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_useTitle = value;
}

bool Stamp2D::GetUseDescription() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_useDescription;
}

void Stamp2D::SetUseDescription(bool value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_useDescription = value;
}

bool Stamp2D::IsDerivedFromSymbol() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_derivedFromSymbol;
}

void Stamp2D::SetDerivedFromSymbol(bool value) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_derivedFromSymbol = value;
}

}  // namespace oxk::illustration2d
