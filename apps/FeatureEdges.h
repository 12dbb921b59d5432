// The edges of a mesh that a drawing shows as lines, seen along the view: contours
// (where the surface turns away from the viewer: a triangle facing the viewer beside
// one that does not), creases (faces meeting at more than the crease angle) and
// borders (an edge with one triangle, or more than two). Edges inside smooth or flat
// surfaces are no lines.
#pragma once

#include <cstdint>
#include <vector>

#include "PageMesh.h"

namespace symbols_tool {

class FeatureEdges {
 public:
  // The angle between two faces' normals above which their edge is drawn.
  static constexpr double kCreaseDegrees = 30.0;

  struct Line {
    uint32_t edge = 0;     // index into the mesh's edges
    bool outline = false;  // a contour or a border: where the solid ends, drawn heavier
  };

  [[nodiscard]] static std::vector<Line> Find(const PageMesh& mesh, double creaseDegrees = kCreaseDegrees);
};

}  // namespace symbols_tool
