// A mesh placed in the world and seen along a view, ready to be drawn on a page: its
// vertices welded by position (files repeat a vertex for each face that uses it), each
// projected with its nearness; its triangles with their normals in the world and which
// way they face the viewer; and its edges with the one or two triangles on each side.
//
// Triangles that cannot be drawn (a corner not seen, or no area in the world) are left
// out. A mesh is closed when every edge has exactly two triangles that run along it in
// opposite directions; a closed mesh is turned so that its triangles face outwards,
// and then only the triangles that face the viewer can be seen.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ViewProjection.h"
#include "geo/DVec3.h"
#include "geo/Location.h"
#include "oxg/Shape.h"

namespace symbols_tool {

class PageMesh {
 public:
  struct Triangle {
    std::array<uint32_t, 3> corners{};
    geo::DVec3 normal;  // unit, in the world, by the corners' order
    int facing = 0;     // +1 turned to the viewer, -1 away, 0 edge-on (by its page area)
  };
  // An edge between two welded vertices (a < b) and the triangles on it. When the two
  // triangles run along it the same way, one of them is turned the other way round.
  struct Edge {
    uint32_t a = 0;
    uint32_t b = 0;
    static constexpr uint32_t kNone = UINT32_MAX;
    uint32_t left = kNone;   // the first triangle on it
    uint32_t right = kNone;  // the second, kNone on a border
    bool agree = true;       // the two run along it in opposite directions, as a sound mesh's do
    bool manifold = true;    // no third triangle on it
  };

  PageMesh() = default;
  // shape's vertices placed by location and projected by view.
  PageMesh(const oxg::Shape& shape, const geo::Location& location, const ViewProjection& view);
  // The same from bare arrays (x, y, z per vertex; three indices per triangle), with
  // indices out of range skipped.
  PageMesh(const std::vector<float>& vertices, const std::vector<uint32_t>& triangles, const geo::Location& location,
           const ViewProjection& view);

  [[nodiscard]] const std::vector<ViewProjection::PagePoint>& Points() const { return m_points; }
  [[nodiscard]] const std::vector<Triangle>& Triangles() const { return m_triangles; }
  [[nodiscard]] const std::vector<Edge>& Edges() const { return m_edges; }
  [[nodiscard]] bool IsClosed() const { return m_closed; }
  [[nodiscard]] bool IsEmpty() const { return m_triangles.empty(); }
  // Whether the triangle can be seen from the view: turned to the viewer on a closed
  // mesh, not edge-on on an open one.
  [[nodiscard]] bool CanBeSeen(const Triangle& triangle) const {
    return m_closed ? triangle.facing > 0 : triangle.facing != 0;
  }

 private:
  void Build(const std::vector<float>& vertices, const std::vector<uint32_t>& triangles, const geo::Location& location,
             const ViewProjection& view);
  void FindEdges();
  void TurnOutwards(const std::vector<geo::DPoint3D>& world);

  std::vector<ViewProjection::PagePoint> m_points;
  std::vector<Triangle> m_triangles;
  std::vector<Edge> m_edges;
  bool m_closed = false;
};

}  // namespace symbols_tool
