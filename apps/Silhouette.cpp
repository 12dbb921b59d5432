#include "Silhouette.h"

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

}  // namespace

bool Silhouette::Unite(const PageMesh& mesh, std::string& error) {
  m_paths.clear();
  const auto& points = mesh.Points();
  ClipperLib::Paths triangles;
  triangles.reserve(mesh.Triangles().size());
  for (const PageMesh::Triangle& triangle : mesh.Triangles()) {
    if (!mesh.CanBeSeen(triangle)) {
      continue;
    }
    ClipperLib::Path path;
    for (const uint32_t corner : triangle.corners) {
      path.push_back(Step(points[corner].x, points[corner].y));
    }
    // All counter-clockwise, so that overlapping triangles add up instead of cancelling.
    if (!ClipperLib::Orientation(path)) {
      ClipperLib::ReversePath(path);
    }
    triangles.push_back(std::move(path));
  }
  try {
    ClipperLib::Clipper clipper;
    clipper.AddPaths(triangles, ClipperLib::ptSubject, true);
    if (!clipper.Execute(ClipperLib::ctUnion, m_paths, ClipperLib::pftNonZero, ClipperLib::pftNonZero)) {
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
