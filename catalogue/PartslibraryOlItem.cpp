#include "catalogue/PartslibraryOlItem.h"

namespace oxsymbols {

void PartslibraryOlItem::SetTitle(const std::string& title) {
  // Frozen: generated titles end up in saved library files.
  m_fields.SetTitle(title, "Ol ", GetID());
}

void PartslibraryOlItem::SetCameraData(const geo::Camera3D& camera) {
  if (camera.IsOrthographic()) {
    m_cameraValue = camera.GetOrthographicWidth();
    m_cameraKind = kOrthographic;
  } else {
    m_cameraValue = camera.GetPerspectiveHFOV();
    m_cameraKind = kPerspective;
  }
  m_cameraLocation = camera.GetLocation();
}

void PartslibraryOlItem::SetCameraData(bool orthographic, double value, const geo::Location& location) {
  m_cameraKind = orthographic ? kOrthographic : kPerspective;
  m_cameraValue = value;
  m_cameraLocation = location;
}

bool PartslibraryOlItem::GetCameraData(bool& orthographic, double& value, geo::Location& location) const {
  if (m_cameraKind == kNoCamera) {
    return false;
  }
  orthographic = m_cameraKind == kOrthographic;
  value = m_cameraValue;
  location = m_cameraLocation;
  return true;
}

void PartslibraryOlItem::ComputeThumbnailUrl(std::string& url, const std::string& from, const std::string& to) {
  const size_t at = url.find(from);
  if (at == std::string::npos) {
    return;
  }
  url.replace(at, from.size(), to);
}

}  // namespace oxsymbols
