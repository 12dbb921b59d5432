#include "oxk/illustration2d/Outline2D.h"

namespace oxk::illustration2d {

LineArt2D Outline2D::GetArt() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_art;
}

void Outline2D::SetArt(LineArt2D art) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_art = std::move(art);
}

std::string Outline2D::GetName() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_name;
}

void Outline2D::SetName(const std::string& name) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_name = name;
}

std::string Outline2D::GetModelPath() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_modelPath;
}

void Outline2D::SetModelPath(const std::string& path) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_modelPath = path;
}

}  // namespace oxk::illustration2d
