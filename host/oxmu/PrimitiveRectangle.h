// A rectangle primitive: two opposite corners in the primitive's own plane (z = 0), an
// outline colour and width, a fill colour and transparency.
#pragma once

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/oxmu/Primitive.h"

namespace oxmu {

class PrimitiveRectangle : public Primitive {
 public:
  PrimitiveRectangle(double x1, double y1, double x2, double y2) : m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2) {}

  [[nodiscard]] double GetX1() const { return m_x1; }
  [[nodiscard]] double GetY1() const { return m_y1; }
  [[nodiscard]] double GetX2() const { return m_x2; }
  [[nodiscard]] double GetY2() const { return m_y2; }

  geo::Color lineColor = geo::Color::BLACK;
  int lineWidth = 1;
  geo::Color fillColor = geo::Color::WHITE;
  float transparency = 0.0f;

 protected:
  ~PrimitiveRectangle() override = default;

 private:
  double m_x1;
  double m_y1;
  double m_x2;
  double m_y2;
};

}  // namespace oxmu
