#include "FeatureEdges.h"

#include <cmath>
#include <numbers>

namespace symbols_tool {

std::vector<FeatureEdges::Line> FeatureEdges::Find(const PageMesh& mesh, double creaseDegrees) {
  const double creaseCosine = std::cos(creaseDegrees * std::numbers::pi / 180.0);
  const auto& triangles = mesh.Triangles();
  const auto& edges = mesh.Edges();
  std::vector<Line> lines;
  for (uint32_t e = 0; e < edges.size(); ++e) {
    const PageMesh::Edge& edge = edges[e];
    if (edge.right == PageMesh::Edge::kNone || !edge.manifold) {
      lines.push_back({e, true});
      continue;
    }
    const PageMesh::Triangle& left = triangles[edge.left];
    const PageMesh::Triangle& right = triangles[edge.right];
    // Two triangles wound against each other: the second is read turned round, so
    // that a badly wound face makes no crease of its own.
    const double turn = edge.agree ? 1.0 : -1.0;
    const geo::DVec3& n = left.normal;
    const geo::DVec3& m = right.normal;
    const double cosine = turn * (n.x * m.x + n.y * m.y + n.z * m.z);
    const bool contour = (left.facing > 0) != (turn * right.facing > 0);
    const bool crease = cosine < creaseCosine;
    if (contour || crease) {
      lines.push_back({e, contour});
    }
  }
  return lines;
}

}  // namespace symbols_tool
