#include "Silhouette.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace symbols_tool {

namespace {

ClipperLib::IntPoint Step(double x, double y) {
  return {static_cast<ClipperLib::cInt>(std::llround(x * Silhouette::kStepsPerUnit)),
          static_cast<ClipperLib::cInt>(std::llround(y * Silhouette::kStepsPerUnit))};
}

// Rings smaller than this (square page units) are specks, not part of a drawing.
constexpr double kSpeck = Silhouette::kResolution * Silhouette::kResolution;

// The paths whose union is what a mesh covers. On a closed mesh, the loops that bound
// the faces turned to the viewer: its contour edges, run the way their front triangle
// runs them, wind around each point of the page once for each front face over it, so
// their union is the silhouette, from far fewer edges than the triangles have. On an
// open one, its triangles that can be seen, all turned counter-clockwise so that
// overlapping ones add up instead of cancelling.
ClipperLib::Paths Outlines(const PageMesh& mesh) {
  const auto& points = mesh.Points();
  const auto& triangles = mesh.Triangles();
  ClipperLib::Paths paths;
  if (!mesh.IsClosed()) {
    paths.reserve(triangles.size());
    for (const PageMesh::Triangle& triangle : triangles) {
      if (!mesh.CanBeSeen(triangle)) {
        continue;
      }
      ClipperLib::Path path;
      for (const uint32_t corner : triangle.corners) {
        path.push_back(Step(points[corner].x, points[corner].y));
      }
      if (!ClipperLib::Orientation(path)) {
        ClipperLib::ReversePath(path);
      }
      paths.push_back(std::move(path));
    }
    return paths;
  }
  // The contour edges, from vertex to vertex as their front triangle runs them.
  std::vector<std::pair<uint32_t, uint32_t>> contour;
  for (const PageMesh::Edge& edge : mesh.Edges()) {
    const PageMesh::Triangle& left = triangles[edge.left];
    const PageMesh::Triangle& right = triangles[edge.right];
    if ((left.facing > 0) == (right.facing > 0)) {
      continue;
    }
    const auto& corners = (left.facing > 0 ? left : right).corners;
    const bool forward = (corners[0] == edge.a && corners[1] == edge.b) ||
                         (corners[1] == edge.a && corners[2] == edge.b) ||
                         (corners[2] == edge.a && corners[0] == edge.b);
    contour.emplace_back(forward ? edge.a : edge.b, forward ? edge.b : edge.a);
  }
  // Followed into loops: every vertex has as many contour edges out as in.
  std::sort(contour.begin(), contour.end());
  std::vector<bool> used(contour.size(), false);
  const auto firstFrom = [&contour](uint32_t vertex) {
    return static_cast<size_t>(std::lower_bound(contour.begin(), contour.end(), std::make_pair(vertex, uint32_t{0})) -
                               contour.begin());
  };
  for (size_t start = 0; start < contour.size(); ++start) {
    if (used[start]) {
      continue;
    }
    ClipperLib::Path path;
    size_t at = start;
    while (true) {
      used[at] = true;
      const uint32_t from = contour[at].first, to = contour[at].second;
      path.push_back(Step(points[from].x, points[from].y));
      size_t next = firstFrom(to);
      while (next < contour.size() && contour[next].first == to && used[next]) {
        ++next;
      }
      if (next >= contour.size() || contour[next].first != to) {
        break;  // back where the loop began (or a mesh that is not quite closed)
      }
      at = next;
    }
    if (path.size() >= 3) {
      paths.push_back(std::move(path));
    }
  }
  return paths;
}

}  // namespace

bool Silhouette::Unite(const PageMesh& mesh, std::string& error) {
  m_paths.clear();
  try {
    ClipperLib::Clipper clipper;
    clipper.AddPaths(Outlines(mesh), ClipperLib::ptSubject, true);
    if (!clipper.Execute(ClipperLib::ctUnion, m_paths, ClipperLib::pftPositive, ClipperLib::pftPositive)) {
      m_paths.clear();
      error = "the polygon library could not unite the triangles";
      return false;
    }
  } catch (const std::exception& failure) {
    m_paths.clear();
    error = std::string("the polygon library failed: ") + failure.what();
    return false;
  }
  Simplify();
  return true;
}

bool Silhouette::KeepNear(const std::vector<Box>& boxes, double reach, std::string& error) {
  ClipperLib::Paths rectangles;
  rectangles.reserve(boxes.size());
  for (const Box& box : boxes) {
    rectangles.push_back(
        {Step(box.minX, box.minY), Step(box.maxX, box.minY), Step(box.maxX, box.maxY), Step(box.minX, box.maxY)});
  }
  try {
    ClipperLib::Paths near;
    ClipperLib::ClipperOffset offset;
    offset.AddPaths(rectangles, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    offset.Execute(near, reach * kStepsPerUnit);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(m_paths, ClipperLib::ptSubject, true);
    clipper.AddPaths(near, ClipperLib::ptClip, true);
    ClipperLib::Paths kept;
    if (!clipper.Execute(ClipperLib::ctIntersection, kept, ClipperLib::pftNonZero, ClipperLib::pftNonZero)) {
      error = "the polygon library could not cut the silhouette";
      return false;
    }
    m_paths = std::move(kept);
  } catch (const std::exception& failure) {
    error = std::string("the polygon library failed: ") + failure.what();
    return false;
  }
  Simplify();
  return true;
}

void Silhouette::Simplify() {
  ClipperLib::CleanPolygons(m_paths, kResolution * kStepsPerUnit);
  std::erase_if(m_paths, [](const ClipperLib::Path& path) {
    return path.size() < 3 || std::fabs(ClipperLib::Area(path)) < kSpeck * kStepsPerUnit * kStepsPerUnit;
  });
}

std::vector<Silhouette::Ring> Silhouette::Rings() const {
  std::vector<Ring> rings;
  rings.reserve(m_paths.size());
  for (const ClipperLib::Path& path : m_paths) {
    Ring ring;
    ring.reserve(path.size());
    for (const ClipperLib::IntPoint& point : path) {
      ring.push_back({static_cast<double>(point.X) / kStepsPerUnit, static_cast<double>(point.Y) / kStepsPerUnit});
    }
    rings.push_back(std::move(ring));
  }
  return rings;
}

double Silhouette::Area() const {
  double area = 0;
  for (const ClipperLib::Path& path : m_paths) {
    area += ClipperLib::Area(path);
  }
  return area / (kStepsPerUnit * kStepsPerUnit);
}

}  // namespace symbols_tool
