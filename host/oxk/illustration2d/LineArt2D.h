// What a solid seen along a view leaves on a 2D page, in page coordinates (y upwards):
// the area it shows (closed rings, holes included, filled by the even-odd rule) and its
// lines as polylines: visible outlines (where the solid meets what is behind it), visible
// edges (creases and borders inside it), and hidden lines (either kind where something
// nearer covers them). A plain value: elements that carry one copy it.
#pragma once

#include <vector>

namespace oxk::illustration2d {

struct LineArt2D {
  struct Point {
    double x = 0.0;
    double y = 0.0;
  };
  using Polyline = std::vector<Point>;

  std::vector<Polyline> areas;  // closed rings: the last point joins the first
  std::vector<Polyline> outlines;
  std::vector<Polyline> edges;
  std::vector<Polyline> hidden;

  [[nodiscard]] bool IsEmpty() const { return areas.empty() && outlines.empty() && edges.empty() && hidden.empty(); }
  // Nothing of it shows as a visible area or solid line.
  [[nodiscard]] bool ShowsNothing() const { return areas.empty() && outlines.empty() && edges.empty(); }
};

}  // namespace oxk::illustration2d
