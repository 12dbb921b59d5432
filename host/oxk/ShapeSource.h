// Where a node's shape comes from: the url of a shape file, and the one Shape that every
// shape instance of the node shares, so the file is loaded once.
#pragma once

#include <string>

#include "orrinsymbols/geo/FBox.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/Shape.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class ShapeSource : public Object {
 public:
  // url: a file path or a "file://" url. box: the bounds already known before loading
  // (EMPTY when unknown); flags are accepted for the host's callers.
  static bool Create(util::SmartPtr<ShapeSource>& out, const util::Symbol& url, const geo::FBox& box, int32_t flags);

  [[nodiscard]] const util::Symbol& GetURL() const { return m_url; }
  // The file path of the url ("file://" and a third slash before a drive letter removed).
  [[nodiscard]] std::string GetFilePath() const;
  [[nodiscard]] const util::SmartPtr<Shape>& GetShape() const { return m_shape; }
  // The box of the loaded geometry, or the known bounds while nothing is loaded.
  [[nodiscard]] geo::FBox GetBBox() const;

 protected:
  ~ShapeSource() override = default;

 private:
  ShapeSource(const util::Symbol& url, const geo::FBox& box) : m_url(url), m_box(box), m_shape(new Shape(url)) {}

  util::Symbol m_url;
  geo::FBox m_box;
  util::SmartPtr<Shape> m_shape;
};

}  // namespace oxk
