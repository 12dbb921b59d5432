#include "oxk/illustration2d/Annotation2D.h"

namespace oxk::illustration2d {

util::Symbol Annotation2D::GetIDPath() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_idPath;
}

void Annotation2D::SetIDPath(const util::Symbol& path) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_idPath = path;
}

std::string Annotation2D::GetLabel() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_label;
}

void Annotation2D::SetLabel(const std::string& label) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_label = label;
}

geo::FMat33 Annotation2D::GetTransform() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_transform;
}

void Annotation2D::SetTransform(const geo::FMat33& transform) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_transform = transform;
}

LineArt2D Annotation2D::GetArt() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_art;
}

void Annotation2D::SetArt(LineArt2D art) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_art = std::move(art);
}

Identity2D Annotation2D::GetIdentity() const {
  Identity2D identity(SymbolTypeBit);
  identity.SetAnnoIDPath(GetIDPath());
  return identity;
}

}  // namespace oxk::illustration2d
