#include "oxk/ShapeView.h"

namespace oxk {

geo::Camera3D ShapeView::GetCamera() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_camera;
}

void ShapeView::SetCamera(const geo::Camera3D& camera) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_camera = camera;
}

bool ShapeView::GetCurrentCameraLocation(geo::Location& out) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  out = m_camera.GetLocation();
  return true;
}

}  // namespace oxk
