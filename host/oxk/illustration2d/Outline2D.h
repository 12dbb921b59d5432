// A drawing element of a 2D document: the outline of a solid seen along a view, made of
// the faces that show, each a closed polygon in page coordinates with a shade (0 the
// lightest), and named for its tooltip. A model part flattened into a page is one.
#pragma once

#include <string>
#include <vector>

#include "oxk/illustration2d/Element2D.h"

namespace oxk::illustration2d {

class Outline2D : public Element2D {
 public:
  struct Point {
    double x = 0.0;
    double y = 0.0;
  };
  struct Face {
    std::vector<Point> points;
    int shade = 0;
  };

  Outline2D() : Element2D(OutlineTypeBit) {}

  [[nodiscard]] std::vector<Face> GetFaces() const;
  void SetFaces(std::vector<Face> faces);
  [[nodiscard]] std::string GetName() const;
  void SetName(const std::string& name);

 protected:
  ~Outline2D() override = default;

 private:
  std::vector<Face> m_faces;
  std::string m_name;
};

}  // namespace oxk::illustration2d
