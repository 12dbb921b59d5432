// A stamp markup: an image drawn in a rectangle around a centre, with half extents
// width and height, an outline and fill colour, transparency, and flips (reverse is
// top to bottom, flip horizontally left to right). Its placement (the markup location)
// carries the centre as its position and the stamp's plane as its matrix. A billboard
// stamp faces the viewer; a screen-space stamp keeps its size on screen.
//
// While the user drags the stamp, its shadow keeps the old centre and the new size;
// CycleShadow starts a new shadow from the stamp as it is.
#pragma once

#include <cstdint>

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/oximg/Image.h"
#include "orrinsymbols/oxk/Markup.h"
#include "orrinsymbols/oxk/Operation.h"
#include "orrinsymbols/oxmk/StampShadow.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxmk {

class Stamp : public oxk::Markup {
 public:
  // in3D: the stamp is drawn in a 3D view (not on a page of a 2D document).
  Stamp(bool screenSpace, int32_t anchor, bool in3D);

  [[nodiscard]] bool IsScreenSpace() const { return m_screenSpace; }
  [[nodiscard]] int32_t GetAnchor() const { return m_anchor; }
  [[nodiscard]] bool Is3D() const { return m_in3D; }

  [[nodiscard]] geo::DPoint3D GetCenter() const;
  void SetCenter(const geo::DPoint3D& center);
  [[nodiscard]] float GetWidth() const;
  void SetWidth(float width);
  [[nodiscard]] float GetHeight() const;
  void SetHeight(float height);
  [[nodiscard]] bool IsBillboard3D() const;
  void SetBillboard3D(bool billboard);
  [[nodiscard]] geo::Color GetLineColor() const;
  void SetLineColor(const geo::Color& color);
  [[nodiscard]] geo::Color GetFillColor() const;
  void SetFillColor(const geo::Color& color);
  [[nodiscard]] float GetTransparency() const;
  void SetTransparency(float transparency);
  [[nodiscard]] bool GetReverse() const;
  void SetReverse(bool reverse);
  [[nodiscard]] bool GetFlipHorizontally() const;
  void SetFlipHorizontally(bool flip);
  [[nodiscard]] util::SmartPtr<oximg::Image> GetImage() const;
  void SetImage(const util::SmartPtr<oximg::Image>& image);

  // A new shadow: old centre, width and height as the stamp has them now.
  void CycleShadow();
  [[nodiscard]] util::SmartPtr<oxk::Markup> GetShadow() const override;
  [[nodiscard]] util::SmartPtr<StampShadow> GetStampShadow() const;

  // One rectangle primitive: the stamp's corners around its centre, in its placement.
  void GetContent(const geo::Pipeline& pipeline, oxcontext::Context2D* context, int32_t n,
                  std::vector<util::SmartPtr<oxmu::Primitive>>& primitives) const override;

  // A user's drag, as the host's manipulator reports it: a new shadow keeps the stamp as
  // it was, the stamp's centre becomes center and the shadow takes the new size; then
  // the controller decides (MarkupUpdated, with operation for undo steps). False when
  // the stamp has no controller (nothing changes) or the controller refused.
  bool ApplyUserChange(const geo::DPoint3D& center, float width, float height,
                       const util::SmartPtr<oxk::Operation>& operation);

 protected:
  ~Stamp() override = default;

 private:
  const bool m_screenSpace;
  const int32_t m_anchor;
  const bool m_in3D;
  float m_width = 0.0f;
  float m_height = 0.0f;
  bool m_billboard = true;
  geo::Color m_lineColor = geo::Color::BLACK;
  geo::Color m_fillColor = geo::Color::BLACK;
  float m_transparency = 0.0f;
  bool m_reverse = false;
  bool m_flipHorizontally = false;
  util::SmartPtr<oximg::Image> m_image;
  util::SmartPtr<StampShadow> m_shadow;
};

}  // namespace oxmk
