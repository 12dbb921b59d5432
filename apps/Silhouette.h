// The region a solid covers on the page: the union of its triangles that can be seen,
// with holes where one can see through it, kept as integer polygons in a polygon
// library (so that shared edges meet exactly) and simplified to the page's resolution.
// It can be cut down to what lies near a set of boxes: the pixels where the solid is
// the nearest thing, which leaves its visible area.
#pragma once

#include <string>
#include <vector>

#include "PageMesh.h"
#include "oxk/illustration2d/LineArt2D.h"
#include "polyclipping/clipper.hpp"

namespace symbols_tool {

class Silhouette {
 public:
  using Ring = oxk::illustration2d::LineArt2D::Polyline;
  struct Box {
    double minX, minY, maxX, maxY;
  };

  // Integer steps per page unit.
  static constexpr double kStepsPerUnit = 1024.0;
  // The page's resolution: no two vertices of a ring closer than about this, in page units.
  static constexpr double kResolution = 0.1;

  // The union of the mesh's triangles that can be seen from the view. False (error says
  // why) when the polygon library fails; the silhouette is then empty.
  [[nodiscard]] bool Unite(const PageMesh& mesh, std::string& error);
  // Keeps what lies within reach (page units) of the boxes. False as Unite.
  [[nodiscard]] bool KeepNear(const std::vector<Box>& boxes, double reach, std::string& error);

  [[nodiscard]] bool IsEmpty() const { return m_paths.empty(); }
  // Rings in page units: outer boundaries counter-clockwise, holes clockwise.
  [[nodiscard]] std::vector<Ring> Rings() const;
  // The area covered (holes left out), in square page units.
  [[nodiscard]] double Area() const;

 private:
  void Simplify();

  ClipperLib::Paths m_paths;
};

}  // namespace symbols_tool
