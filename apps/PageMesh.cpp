#include "PageMesh.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace symbols_tool {

namespace {

constexpr uint32_t kUnseen = UINT32_MAX;

geo::DVec3 Between(const geo::DPoint3D& from, const geo::DPoint3D& to) {
  return {to.x - from.x, to.y - from.y, to.z - from.z};
}

// Which way a triangle turns on the page: +1 counter-clockwise (towards the viewer for
// a triangle wound counter-clockwise about its normal), -1 clockwise, 0 edge-on.
int Facing(const ViewProjection::PagePoint& a, const ViewProjection::PagePoint& b, const ViewProjection::PagePoint& c) {
  const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - a.x, vy = c.y - a.y;
  const double cross = ux * vy - uy * vx;
  const double scale = std::hypot(ux, uy) * std::hypot(vx, vy);
  if (!(std::fabs(cross) > 1e-9 * scale)) {
    return 0;
  }
  return cross > 0 ? 1 : -1;
}

}  // namespace

PageMesh::PageMesh(const oxg::Shape& shape, const geo::Location& location, const ViewProjection& view) {
  Build(shape.GetVertices(), shape.GetTriangles(), location, view);
}

PageMesh::PageMesh(const std::vector<float>& vertices, const std::vector<uint32_t>& triangles,
                   const geo::Location& location, const ViewProjection& view) {
  Build(vertices, triangles, location, view);
}

void PageMesh::Build(const std::vector<float>& vertices, const std::vector<uint32_t>& triangles,
                     const geo::Location& location, const ViewProjection& view) {
  const size_t count = vertices.size() / 3;
  auto at = [&vertices](size_t i) { return std::tie(vertices[3 * i], vertices[3 * i + 1], vertices[3 * i + 2]); };

  // Weld: vertices at the same position become one, in the order of their positions, so
  // that edges between faces that repeat their vertices are found.
  std::vector<uint32_t> order;
  order.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    if (std::isfinite(vertices[3 * i]) && std::isfinite(vertices[3 * i + 1]) && std::isfinite(vertices[3 * i + 2])) {
      order.push_back(static_cast<uint32_t>(i));
    }
  }
  std::sort(order.begin(), order.end(),
            [&at](uint32_t a, uint32_t b) { return at(a) < at(b) || (at(a) == at(b) && a < b); });
  std::vector<uint32_t> welded(count, kUnseen);
  std::vector<geo::DPoint3D> world;
  world.reserve(order.size());
  m_points.reserve(order.size());
  std::vector<bool> seen;
  seen.reserve(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    const uint32_t i = order[k];
    if (k > 0 && at(order[k - 1]) == at(i)) {
      welded[i] = welded[order[k - 1]];
      continue;
    }
    welded[i] = static_cast<uint32_t>(m_points.size());
    const geo::DPoint3D placed =
        location.Transform(geo::DPoint3D(vertices[3 * i], vertices[3 * i + 1], vertices[3 * i + 2]));
    ViewProjection::PagePoint point;
    seen.push_back(view.Project(placed, point));
    m_points.push_back(point);
    world.push_back(placed);
  }

  m_triangles.reserve(triangles.size() / 3);
  for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
    Triangle triangle;
    bool usable = true;
    for (int c = 0; c < 3; ++c) {
      const uint32_t index = triangles[t + c];
      const uint32_t corner = index < count ? welded[index] : kUnseen;
      usable = usable && corner != kUnseen && seen[corner];
      triangle.corners[c] = corner;
    }
    const auto& [a, b, c] = triangle.corners;
    if (!usable || a == b || b == c || a == c) {
      continue;
    }
    const geo::DVec3 normal = geo::Cross(Between(world[a], world[b]), Between(world[a], world[c]));
    const double length = normal.Length();
    if (!(length > 0.0) || !std::isfinite(length)) {
      continue;  // no area in the world: nothing to see, no direction to crease
    }
    triangle.normal = normal * (1.0 / length);
    triangle.facing = Facing(m_points[a], m_points[b], m_points[c]);
    m_triangles.push_back(triangle);
  }
  FindEdges();
  TurnOutwards(world);
}

void PageMesh::FindEdges() {
  // Each triangle's three sides as (edge key, triangle and direction), sorted so that
  // the sides of one edge come together.
  std::vector<std::pair<uint64_t, uint64_t>> sides;
  sides.reserve(m_triangles.size() * 3);
  for (uint32_t t = 0; t < m_triangles.size(); ++t) {
    const auto& corners = m_triangles[t].corners;
    for (int c = 0; c < 3; ++c) {
      const uint32_t from = corners[c], to = corners[(c + 1) % 3];
      const uint64_t key = uint64_t{std::min(from, to)} << 32 | std::max(from, to);
      sides.emplace_back(key, uint64_t{t} << 1 | (from < to ? 1u : 0u));
    }
  }
  std::sort(sides.begin(), sides.end());
  const auto triangle = [](uint64_t value) { return static_cast<uint32_t>(value >> 1); };
  const auto forward = [](uint64_t value) { return (value & 1) != 0; };
  m_closed = !sides.empty();
  for (size_t i = 0; i < sides.size();) {
    size_t j = i + 1;
    while (j < sides.size() && sides[j].first == sides[i].first) {
      ++j;
    }
    Edge edge;
    edge.a = static_cast<uint32_t>(sides[i].first >> 32);
    edge.b = static_cast<uint32_t>(sides[i].first);
    edge.left = triangle(sides[i].second);
    if (j - i >= 2) {
      edge.right = triangle(sides[i + 1].second);
      edge.agree = forward(sides[i].second) != forward(sides[i + 1].second);
    }
    edge.manifold = j - i <= 2;
    m_closed = m_closed && j - i == 2 && edge.agree;
    m_edges.push_back(edge);
    i = j;
  }
}

void PageMesh::TurnOutwards(const std::vector<geo::DPoint3D>& world) {
  if (!m_closed) {
    return;
  }
  // The signed volume, about a point of the mesh for precision far from the origin.
  const geo::DPoint3D origin = world[m_triangles.front().corners[0]];
  double volume = 0;
  for (const Triangle& triangle : m_triangles) {
    const geo::DVec3 a = Between(origin, world[triangle.corners[0]]);
    const geo::DVec3 b = Between(origin, world[triangle.corners[1]]);
    const geo::DVec3 c = Between(origin, world[triangle.corners[2]]);
    volume += geo::Dot(a, geo::Cross(b, c));
  }
  if (volume >= 0) {
    return;
  }
  // Wound inside out: every triangle turns the other way round.
  for (Triangle& triangle : m_triangles) {
    std::swap(triangle.corners[1], triangle.corners[2]);
    triangle.normal = triangle.normal * -1.0;
    triangle.facing = -triangle.facing;
  }
}

}  // namespace symbols_tool
