#include "oxk/illustration2d/Outline2D.h"

namespace oxk::illustration2d {

std::vector<Outline2D::Face> Outline2D::GetFaces() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_faces;
}

void Outline2D::SetFaces(std::vector<Face> faces) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_faces = std::move(faces);
}

std::string Outline2D::GetName() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_name;
}

void Outline2D::SetName(const std::string& name) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_name = name;
}

}  // namespace oxk::illustration2d
