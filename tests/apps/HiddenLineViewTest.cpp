// Flattened drawings checked against geometry whose answers are known in closed form:
// outlines of spheres, cubes and rings, the edges a cube shows and hides, parts behind
// and through each other; and the pieces the drawing is made of (welded meshes, the
// depth buffer's covering, lines joined and thinned).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "Document.h"
#include "FeatureEdges.h"
#include "HiddenLineView.h"
#include "LineChains.h"
#include "PageMesh.h"
#include "Silhouette.h"
#include "ViewProjection.h"

namespace {

using oxk::illustration2d::LineArt2D;
using symbols_tool::HiddenLineView;
using symbols_tool::PageMesh;
using symbols_tool::Silhouette;
using symbols_tool::ViewProjection;

struct Mesh {
  std::vector<float> vertices;
  std::vector<uint32_t> triangles;

  uint32_t Add(double x, double y, double z) {
    vertices.insert(vertices.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    return static_cast<uint32_t>(vertices.size() / 3 - 1);
  }
  geo::DPoint3D At(uint32_t i) const { return {vertices[3 * i], vertices[3 * i + 1], vertices[3 * i + 2]}; }
  // A triangle turned to face away from inside (a point within a convex solid).
  void Face(uint32_t a, uint32_t b, uint32_t c, const geo::DPoint3D& inside) {
    const geo::DVec3 n = geo::Cross(At(b) - At(a), At(c) - At(a));
    const bool outwards = geo::Dot(n, At(a) - inside) > 0;
    triangles.insert(triangles.end(), {a, outwards ? b : c, outwards ? c : b});
  }
};

// A box, wound outwards; with repeated set, each face has its own four vertices, as
// files written with a normal per vertex have.
Mesh Box(double x0, double y0, double z0, double x1, double y1, double z1, bool repeated = false) {
  Mesh mesh;
  const geo::DPoint3D centre((x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2);
  const int faces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
  auto corner = [&](int i) { return geo::DPoint3D(i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0); };
  uint32_t shared[8];
  if (!repeated) {
    for (int i = 0; i < 8; ++i) {
      shared[i] = mesh.Add(corner(i).x, corner(i).y, corner(i).z);
    }
  }
  for (const auto& face : faces) {
    uint32_t v[4];
    for (int k = 0; k < 4; ++k) {
      v[k] = repeated ? mesh.Add(corner(face[k]).x, corner(face[k]).y, corner(face[k]).z) : shared[face[k]];
    }
    mesh.Face(v[0], v[1], v[2], centre);
    mesh.Face(v[0], v[2], v[3], centre);
  }
  return mesh;
}

Mesh Sphere(const geo::DPoint3D& centre, double r, int slices, int stacks) {
  Mesh mesh;
  const uint32_t south = mesh.Add(centre.x, centre.y, centre.z - r);
  std::vector<std::vector<uint32_t>> rings;
  for (int i = 1; i < stacks; ++i) {
    const double polar = std::numbers::pi * i / stacks;
    rings.emplace_back();
    for (int j = 0; j < slices; ++j) {
      const double a = 2 * std::numbers::pi * j / slices;
      rings.back().push_back(mesh.Add(centre.x + r * std::sin(polar) * std::cos(a),
                                      centre.y + r * std::sin(polar) * std::sin(a), centre.z - r * std::cos(polar)));
    }
  }
  const uint32_t north = mesh.Add(centre.x, centre.y, centre.z + r);
  for (int j = 0; j < slices; ++j) {
    const int k = (j + 1) % slices;
    mesh.Face(south, rings.front()[j], rings.front()[k], centre);
    mesh.Face(north, rings.back()[j], rings.back()[k], centre);
    for (size_t i = 0; i + 1 < rings.size(); ++i) {
      mesh.Face(rings[i][j], rings[i][k], rings[i + 1][k], centre);
      mesh.Face(rings[i][j], rings[i + 1][k], rings[i + 1][j], centre);
    }
  }
  return mesh;
}

// A flat ring in the plane z = 0 (an open mesh: one sheet).
Mesh Ring(double inner, double outer, int segments) {
  Mesh mesh;
  for (int j = 0; j < segments; ++j) {
    const double a = 2 * std::numbers::pi * j / segments;
    mesh.Add(inner * std::cos(a), inner * std::sin(a), 0);
    mesh.Add(outer * std::cos(a), outer * std::sin(a), 0);
  }
  for (uint32_t j = 0; j < static_cast<uint32_t>(segments); ++j) {
    const uint32_t k = (j + 1) % segments;
    mesh.triangles.insert(mesh.triangles.end(), {2 * j, 2 * j + 1, 2 * k + 1, 2 * j, 2 * k + 1, 2 * k});
  }
  return mesh;
}

// Looking down the -z axis at the origin: page x = 200 + 4 x, page y = 200 + 4 y.
geo::Camera3D FrontView() {
  geo::Camera3D camera = geo::Camera3D::Orthographic(geo::Location(geo::FMat33::IDENTITY, {0, 0, 500}), 100);
  camera.SetViewport(400, 400);
  return camera;
}

// The document's view from the front right and above, fitted to the box.
geo::Camera3D ObliqueView(const geo::DBox& box) {
  return symbols_tool::ModelView(box, 400, 400);
}

geo::DBox BoxOf(double x0, double y0, double z0, double x1, double y1, double z1) {
  geo::DBox box;
  box.Enclose({x0, y0, z0});
  box.Enclose({x1, y1, z1});
  return box;
}

double PixelScale(const geo::Camera3D& camera) {
  return camera.GetViewportWidth() / camera.GetOrthographicWidth();
}

PageMesh Seen(const Mesh& mesh, const ViewProjection& view) {
  return PageMesh(mesh.vertices, mesh.triangles, geo::Location::IDENTITY, view);
}

std::vector<HiddenLineView::Drawn> Draw(const ViewProjection& view, const std::vector<Mesh>& meshes) {
  HiddenLineView drawing(view);
  for (const Mesh& mesh : meshes) {
    drawing.Add(Seen(mesh, view));
  }
  std::vector<HiddenLineView::Drawn> drawn;
  std::string error;
  EXPECT_TRUE(drawing.Draw(drawn, error)) << error;
  return drawn;
}

double Length(const std::vector<LineArt2D::Polyline>& lines) {
  double length = 0;
  for (const auto& line : lines) {
    for (size_t i = 1; i < line.size(); ++i) {
      length += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    }
  }
  return length;
}

// The length of the lines that runs within the given page box.
double LengthWithin(const std::vector<LineArt2D::Polyline>& lines, double x0, double y0, double x1, double y1) {
  double length = 0;
  for (const auto& line : lines) {
    for (size_t i = 1; i < line.size(); ++i) {
      const int steps = 200;
      for (int s = 0; s < steps; ++s) {
        const double t = (s + 0.5) / steps;
        const double x = line[i - 1].x + (line[i].x - line[i - 1].x) * t;
        const double y = line[i - 1].y + (line[i].y - line[i - 1].y) * t;
        if (x > x0 && x < x1 && y > y0 && y < y1) {
          length += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y) / steps;
        }
      }
    }
  }
  return length;
}

double RingArea(const LineArt2D::Polyline& ring) {
  double area = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const auto& a = ring[i];
    const auto& b = ring[(i + 1) % ring.size()];
    area += a.x * b.y - b.x * a.y;
  }
  return area / 2;
}

TEST(Silhouette, OutlinesAreTheUnionOfTheTrianglesAsClosedFormsSayAtThePagesResolution) {
  std::string error;
  {
    // A sphere's outline is a circle, from any side.
    const geo::Camera3D camera = ObliqueView(BoxOf(-25, -25, -25, 25, 25, 25));
    const ViewProjection view(camera);
    Silhouette outline;
    ASSERT_TRUE(outline.Unite(Seen(Sphere({0, 0, 0}, 20, 96, 48), view), error)) << error;
    const double r = 20 * PixelScale(camera);
    EXPECT_NEAR(outline.Area(), std::numbers::pi * r * r, 0.01 * std::numbers::pi * r * r);
    const auto rings = outline.Rings();
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_GT(RingArea(rings[0]), 0);  // counter-clockwise, an outer boundary
    for (size_t i = 0; i < rings[0].size(); ++i) {
      const auto& a = rings[0][i];
      const auto& b = rings[0][(i + 1) % rings[0].size()];
      EXPECT_GE(std::hypot(b.x - a.x, b.y - a.y), 0.09) << "vertices closer than the page's resolution at " << i;
      EXPECT_NEAR(std::hypot(a.x - 200, a.y - 200), r, 0.01 * r);  // on the circle
    }
  }
  {
    // A cube seen along (1, -1, 1) is a regular hexagon of area sqrt(3) times a face's.
    const geo::Camera3D camera = ObliqueView(BoxOf(0, 0, 0, 10, 10, 10));
    const ViewProjection view(camera);
    Silhouette outline;
    ASSERT_TRUE(outline.Unite(Seen(Box(0, 0, 0, 10, 10, 10), view), error)) << error;
    const double side = 10 * PixelScale(camera);
    EXPECT_NEAR(outline.Area(), std::sqrt(3.0) * side * side, 0.01 * std::sqrt(3.0) * side * side);
    const auto rings = outline.Rings();
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_EQ(rings[0].size(), 6u);
  }
  {
    // A ring seen face on is a polygon with a hole.
    const ViewProjection view(FrontView());
    Silhouette outline;
    ASSERT_TRUE(outline.Unite(Seen(Ring(10, 20, 64), view), error)) << error;
    const auto rings = outline.Rings();
    ASSERT_EQ(rings.size(), 2u);
    const double outer = std::max(RingArea(rings[0]), RingArea(rings[1]));
    const double hole = std::min(RingArea(rings[0]), RingArea(rings[1]));
    const double scale = 4 * 4;
    EXPECT_NEAR(outer, std::numbers::pi * 400 * scale, 0.01 * std::numbers::pi * 400 * scale);
    EXPECT_NEAR(hole, -std::numbers::pi * 100 * scale, 0.01 * std::numbers::pi * 100 * scale);  // clockwise
  }
}

TEST(HiddenLineView, ACubeShowsItsOutlineAndThreeInnerEdgesMeetingAtTheNearCornerAndHidesTheRest) {
  const geo::Camera3D camera = ObliqueView(BoxOf(0, 0, 0, 10, 10, 10));
  const ViewProjection view(camera);
  // Repeated vertices, as files with normals have them, make the same cube.
  for (const bool repeated : {false, true}) {
    const auto drawn = Draw(view, {Box(0, 0, 0, 10, 10, 10, repeated)});
    ASSERT_EQ(drawn.size(), 1u);
    const LineArt2D& art = drawn[0].art;
    const double edge = 10 * PixelScale(camera) * std::sqrt(2.0 / 3.0);  // an edge's length on the page
    ViewProjection::PagePoint near, far;
    ASSERT_TRUE(view.Project({10, 0, 10}, near));
    ASSERT_TRUE(view.Project({0, 10, 0}, far));
    // Outline: the hexagon's six sides; inner edges: three, from the near corner.
    EXPECT_NEAR(Length(art.outlines), 6 * edge, 0.02 * edge) << repeated;
    EXPECT_NEAR(Length(art.edges), 3 * edge, 0.02 * edge) << repeated;
    size_t atNearCorner = 0;  // line ends and joints there: three edges meet
    for (const auto& line : art.edges) {
      for (size_t i = 0; i < line.size(); ++i) {
        if (std::hypot(line[i].x - near.x, line[i].y - near.y) < 0.01) {
          atNearCorner += i == 0 || i + 1 == line.size() ? 1 : 2;
        }
      }
    }
    EXPECT_EQ(atNearCorner, 3u) << repeated;
    // The three back edges meet at the far corner, dashed.
    EXPECT_NEAR(Length(art.hidden), 3 * edge, 0.05 * edge);
    EXPECT_NEAR(std::hypot(near.x - far.x, near.y - far.y), 0, 1e-6);  // the corners coincide on the page
  }
  // A sphere has no crease: its one line is its contour, a circle, all of it seen.
  const geo::Camera3D round = ObliqueView(BoxOf(-25, -25, -25, 25, 25, 25));
  const ViewProjection seen(round);
  const auto sphere = Draw(seen, {Sphere({0, 0, 0}, 20, 96, 48)});
  const double r = 20 * PixelScale(round);
  EXPECT_NEAR(Length(sphere[0].art.outlines), 2 * std::numbers::pi * r, 0.01 * 2 * std::numbers::pi * r);
  EXPECT_TRUE(sphere[0].art.edges.empty());
  EXPECT_LT(Length(sphere[0].art.hidden), 0.01 * r);
}

TEST(HiddenLineView, WhatANearerPartCoversIsHiddenWhereItsSilhouetteCrossesAndWhereItPassesThrough) {
  const ViewProjection view(FrontView());
  {
    // A cube wholly behind a bigger one draws nothing visible: only dashed lines.
    const auto drawn = Draw(view, {Box(-20, -20, 0, 20, 20, 40), Box(-5, -5, -30, 5, 5, -20)});
    EXPECT_TRUE(drawn[1].art.ShowsNothing());
    EXPECT_GT(Length(drawn[1].art.hidden), 4 * 40.0 - 1);  // its front square, 10 units a side
    EXPECT_FALSE(drawn[0].art.ShowsNothing());
    EXPECT_LT(drawn[1].paintRank, drawn[0].paintRank);  // painted first
  }
  {
    // A plate behind a block that covers its right half: its top and bottom edges are
    // cut where the block's silhouette crosses them (page x 200, world x 0).
    const auto drawn = Draw(view, {Box(-30, -10, -10, 30, 10, -5), Box(0, -40, 0, 40, 40, 10)});
    const LineArt2D& plate = drawn[0].art;
    double seenTo = -1e9;
    for (const auto* lines : {&plate.outlines, &plate.edges}) {
      for (const auto& line : *lines) {
        for (const auto& p : line) {
          if (std::fabs(p.y - 240) < 0.01) {
            seenTo = std::max(seenTo, p.x);
          }
        }
      }
    }
    EXPECT_NEAR(seenTo, 200, 0.4);  // a pixel and a half of the depth buffer
    // Along the top (page y 240): dashed from the cut on, not before.
    EXPECT_NEAR(LengthWithin(plate.hidden, 80, 239.9, 199.7, 240.1), 0, 1e-9);
    EXPECT_GT(LengthWithin(plate.hidden, 200.3, 239.9, 320, 240.1), 119);
    EXPECT_NEAR(LengthWithin(plate.outlines, 200.5, 0, 400, 400) + LengthWithin(plate.edges, 200.5, 0, 400, 400), 0,
                1e-9);
    // Its visible area stops at the block too.
    double right = -1e9;
    for (const auto& ring : plate.areas) {
      for (const auto& p : ring) {
        right = std::max(right, p.x);
      }
    }
    EXPECT_NEAR(right, 200, 0.5);
  }
  {
    // Two bars through each other like a plus sign, the one along x standing higher:
    // the lower bar's edges are hidden where they pass under the higher one's top.
    const auto drawn = Draw(view, {Box(-40, -5, 0, 40, 5, 20), Box(-5, -40, 0, 5, 40, 10)});
    const LineArt2D& lower = drawn[1].art;
    // Page box of the higher bar: x 40..360, y 180..220.
    EXPECT_NEAR(LengthWithin(lower.outlines, 40, 181, 360, 219) + LengthWithin(lower.edges, 40, 181, 360, 219), 0,
                1e-9);
    EXPECT_GT(LengthWithin(lower.hidden, 40, 181, 360, 219), 2 * 38 - 1);   // its two long sides
    EXPECT_GT(LengthWithin(lower.outlines, 0, 221, 400, 400), 2 * 75 - 1);  // seen beyond it
  }
}

TEST(PageMesh, WeldsRepeatedVerticesTurnsInsideOutMeshesAndLeavesOutWhatCannotBeDrawn) {
  const ViewProjection view(FrontView());
  const PageMesh welded = Seen(Box(0, 0, 0, 10, 10, 10, true), view);
  EXPECT_TRUE(welded.IsClosed());
  EXPECT_EQ(welded.Points().size(), 8u);
  EXPECT_EQ(welded.Edges().size(), 18u);

  // Wound inside out: the faces turned to the viewer are still the ones seen.
  Mesh inverted = Box(0, 0, 0, 10, 10, 10);
  for (size_t t = 0; t < inverted.triangles.size(); t += 3) {
    std::swap(inverted.triangles[t + 1], inverted.triangles[t + 2]);
  }
  const PageMesh turned = Seen(inverted, view);
  ASSERT_TRUE(turned.IsClosed());
  size_t front = 0;
  for (const auto& triangle : turned.Triangles()) {
    if (triangle.facing > 0) {
      ++front;
      EXPECT_GT(triangle.normal.z, 0.99);
      for (const uint32_t corner : triangle.corners) {
        EXPECT_NEAR(turned.Points()[corner].near, 10 - 500, 1e-9);  // the face at z = 10
      }
    }
  }
  EXPECT_EQ(front, 2u);

  // One face wound the wrong way: not closed, so every face may be seen, and it makes
  // no crease of its own.
  Mesh odd = Box(0, 0, 0, 10, 10, 10);
  std::swap(odd.triangles[31], odd.triangles[32]);  // a triangle of the face at z = 10
  const PageMesh open = Seen(odd, view);
  EXPECT_FALSE(open.IsClosed());
  for (const auto& line : symbols_tool::FeatureEdges::Find(open)) {
    const auto& edge = open.Edges()[line.edge];
    const auto& a = open.Points()[edge.a];
    const auto& b = open.Points()[edge.b];
    EXPECT_FALSE(std::fabs(std::fabs(b.x - a.x) - std::fabs(b.y - a.y)) < 1e-6 && std::fabs(b.x - a.x) > 1)
        << "a diagonal of a face drawn as a line";
  }

  // Vertices that are not numbers, triangles that point past the vertices, and
  // triangles without area are left out; the rest stays.
  Mesh hostile = Box(0, 0, 0, 10, 10, 10);
  const uint32_t bad = hostile.Add(std::nan(""), 0, 0);
  const uint32_t huge = hostile.Add(1e30, 1e30, 0);
  hostile.triangles.insert(hostile.triangles.end(), {0, 1, bad, 0, huge, 1, 0, 1, 99, 0, 0, 1, 0, 1, 3});
  const PageMesh kept = Seen(hostile, view);
  EXPECT_EQ(kept.Triangles().size(), 12u + 1u);  // the box and its last, flat but real, triangle
}

TEST(LineChains, JoinsPiecesEndToEndAndThinsThemToThePagesResolution) {
  using symbols_tool::LineChains;
  // Three pieces of one line given out of order and turned, a fourth apart.
  const auto lines = LineChains::Join(
      {{{10, 0}, {20, 0}}, {{0, 0}, {10, 0}}, {{20, 5}, {20, 0}}, {{50, 50}, {60, 60}}, {{70, 70}, {70.05, 70}}});
  ASSERT_EQ(lines.size(), 2u);     // the piece shorter than the resolution is dropped
  ASSERT_EQ(lines[0].size(), 3u);  // (0,0) to (20,0) is straight: its middle point goes
  EXPECT_EQ(lines[0][0].x + lines[0][2].x, 20);
  EXPECT_EQ(lines[1].size(), 2u);

  LineChains::Polyline crowded{{0, 0}, {0.03, 0.01}, {5, 0}, {5.05, 0.05}, {5.05, 5}, {5.07, 5}, {10, 0}};
  LineChains::Thin(crowded);
  for (size_t i = 1; i < crowded.size(); ++i) {
    EXPECT_GE(std::hypot(crowded[i].x - crowded[i - 1].x, crowded[i].y - crowded[i - 1].y), LineChains::kResolution);
  }
  EXPECT_EQ(crowded.back().x, 10);  // the end stays where it was

  // A line that runs out and back along itself keeps the point where it turns.
  LineChains::Polyline back{{0, 0}, {10, 0}, {2, 0}};
  LineChains::Thin(back);
  EXPECT_EQ(back.size(), 3u);
}

}  // namespace
