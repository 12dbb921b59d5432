// Where a node's shape comes from: the url of a shape file, and the one Shape that every
// shape instance of the node shares, so the file is loaded once.
#pragma once

#include <string>

#include "geo/FBox.h"
#include "oxk/Object.h"
#include "oxk/Shape.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace oxk {

class ShapeSource : public Object {
 public:
  // url: a file path or a "file://" url. box and flags describe already-known bounds; the
  // reference host keeps them only for the caller's benefit.
  static bool Create(util::SmartPtr<ShapeSource>& out, const util::Symbol& url, const geo::FBox& box, int32_t flags);

  [[nodiscard]] const util::Symbol& GetURL() const { return m_url; }
  // The file path of the url ("file://" and a third slash before a drive letter removed).
  [[nodiscard]] std::string GetFilePath() const;
  [[nodiscard]] const util::SmartPtr<Shape>& GetShape() const { return m_shape; }

 protected:
  ~ShapeSource() override = default;

 private:
  explicit ShapeSource(const util::Symbol& url) : m_url(url), m_shape(new Shape(url)) {}

  util::Symbol m_url;
  util::SmartPtr<Shape> m_shape;
};

}  // namespace oxk
