// An annotation element of a 2D document: made for the annotation with the given
// identifier path, which is also its identity (with the symbol type bit). The host
// completes it with a label and a 2D transform (a 3 by 3 matrix on homogeneous page
// coordinates: translation in the last column) that place its marker on the page, and,
// for a symbol with a shape, the line art of that shape seen along the view.
#pragma once

#include <cstdint>
#include <string>

#include "geo/FMat33.h"
#include "oxk/illustration2d/Element2D.h"
#include "oxk/illustration2d/LineArt2D.h"
#include "util/Symbol.h"

namespace oxk::illustration2d {

class Annotation2D : public Element2D {
 public:
  explicit Annotation2D(int32_t contentVersion) : Annotation2D(contentVersion, 0) {}

  [[nodiscard]] int32_t GetContentVersion() const { return m_contentVersion; }
  [[nodiscard]] util::Symbol GetIDPath() const;
  void SetIDPath(const util::Symbol& path);
  [[nodiscard]] std::string GetLabel() const;
  void SetLabel(const std::string& label);
  [[nodiscard]] geo::FMat33 GetTransform() const;
  void SetTransform(const geo::FMat33& transform);
  // Empty unless the host drew the symbol's shape.
  [[nodiscard]] LineArt2D GetArt() const;
  void SetArt(LineArt2D art);

  // The symbol type bit and the identifier path.
  [[nodiscard]] Identity2D GetIdentity() const override;

 protected:
  // For elements that are annotations of a more particular kind.
  Annotation2D(int32_t contentVersion, uint32_t extraTypeBits)
      : Element2D(AnnotationTypeBit | SymbolTypeBit | extraTypeBits), m_contentVersion(contentVersion) {}
  ~Annotation2D() override = default;

 private:
  const int32_t m_contentVersion;
  util::Symbol m_idPath;
  std::string m_label;
  geo::FMat33 m_transform;
  LineArt2D m_art;
};

}  // namespace oxk::illustration2d
