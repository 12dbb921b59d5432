#include "oxmk/StampShadow.h"

namespace oxmk {

geo::DPoint3D StampShadow::GetOldCenter() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_oldCenter;
}

float StampShadow::GetWidth() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_width;
}

float StampShadow::GetHeight() const {
  std::lock_guard<std::mutex> guard(GetMutex());
  return m_height;
}

void StampShadow::SetWidth(float width) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_width = width;
}

void StampShadow::SetHeight(float height) {
  std::lock_guard<std::mutex> guard(GetMutex());
  m_height = height;
}

}  // namespace oxmk
