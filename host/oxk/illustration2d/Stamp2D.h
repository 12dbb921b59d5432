// A stamp element of a 2D document: an image drawn into its extents (a page rectangle),
// mirrored left to right (horizontal flip) or top to bottom (vertical flip), with the
// tooltip texts of the symbol it was derived from.
#pragma once

#include <string>

#include "orrinsymbols/geo/DBox2D.h"
#include "orrinsymbols/oxk/Image.h"
#include "orrinsymbols/oxk/illustration2d/Annotation2D.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration2d {

class Stamp2D : public Annotation2D {
 public:
  explicit Stamp2D(int32_t contentVersion) : Annotation2D(contentVersion, StampTypeBit) {}

  [[nodiscard]] util::SmartPtr<oxk::Image> GetImage() const;
  void SetImage(const util::SmartPtr<oxk::Image>& image);
  [[nodiscard]] geo::DBox2D GetStampExtents() const;
  void SetStampExtents(const geo::DBox2D& extents);
  [[nodiscard]] util::Symbol GetImageFilename() const;
  void SetImageFilename(const util::Symbol& fileName);
  [[nodiscard]] bool GetHorFlip() const;
  void SetHorFlip(bool flip);
  [[nodiscard]] bool GetVerFlip() const;
  void SetVerFlip(bool flip);
  [[nodiscard]] std::string GetTitle() const;
  void SetTitle(const std::string& title);
  [[nodiscard]] std::string GetDescription() const;
  void SetDescription(const std::string& description);
  [[nodiscard]] bool GetUseTitle() const;
  void SetUseTitle(bool use);
  [[nodiscard]] bool GetUseDescription() const;
  void SetUseDescription(bool use);
  [[nodiscard]] bool IsDerivedFromSymbol() const;
  void SetDerivedFromSymbol(bool derived);

 protected:
  ~Stamp2D() override = default;

 private:
  util::SmartPtr<oxk::Image> m_image;
  geo::DBox2D m_extents;
  util::Symbol m_imageFilename;
  bool m_horFlip = false;
  bool m_verFlip = false;
  std::string m_title;
  std::string m_description;
  bool m_useTitle = false;
  bool m_useDescription = false;
  bool m_derivedFromSymbol = false;
};

}  // namespace oxk::illustration2d
