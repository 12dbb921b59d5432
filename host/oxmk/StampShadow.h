// The shadow of a stamp: what the stamp looked like when the user's drag began (its
// old centre) and the size the drag has made so far. The host changes the shadow's size
// while the user resizes, and the stamp's controller reads it when the drag ends.
#pragma once

#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/oxk/Markup.h"

namespace oxmk {

class StampShadow : public oxk::Markup {
 public:
  StampShadow(const geo::DPoint3D& oldCenter, float width, float height)
      : m_oldCenter(oldCenter), m_width(width), m_height(height) {}

  [[nodiscard]] geo::DPoint3D GetOldCenter() const;
  [[nodiscard]] float GetWidth() const;
  [[nodiscard]] float GetHeight() const;
  void SetWidth(float width);
  void SetHeight(float height);

 protected:
  ~StampShadow() override = default;

 private:
  geo::DPoint3D m_oldCenter;
  float m_width;
  float m_height;
};

}  // namespace oxmk
