// Writes the sample pump's shape files (Wavefront OBJ): every part an extruded profile,
// a polygon with holes swept along an axis, so that the drawings made from them show
// real outlines: round motor and shaft, a base plate and flange plates with bolt holes,
// a flange with a bore, a housing with a bore and a cover with rounded corners. Each
// mesh is closed, wound counter-clockwise seen from outside, with a normal per face.
//
//   make_sample_models FOLDER    writes base.obj, housing.obj, ... into FOLDER
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct P2 {
  double u, v;
};
using Ring = std::vector<P2>;

struct Mesh {
  std::vector<std::array<double, 3>> vertices;
  std::vector<std::vector<int>> faces;  // counter-clockwise seen from outside
};

double Cross(const P2& o, const P2& a, const P2& b) {
  return (a.u - o.u) * (b.v - o.v) - (a.v - o.v) * (b.u - o.u);
}

double SignedArea(const Ring& ring) {
  double area = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const P2& a = ring[i];
    const P2& b = ring[(i + 1) % ring.size()];
    area += a.u * b.v - b.u * a.v;
  }
  return area / 2;
}

Ring Circle(double cu, double cv, double r, int segments) {
  Ring ring;
  for (int i = 0; i < segments; ++i) {
    const double a = 2 * std::numbers::pi * i / segments;
    ring.push_back({cu + r * std::cos(a), cv + r * std::sin(a)});
  }
  return ring;
}

Ring Rectangle(double u0, double v0, double u1, double v1) {
  return {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
}

Ring RoundedRectangle(double u0, double v0, double u1, double v1, double r, int perCorner) {
  const P2 centres[4] = {{u1 - r, v0 + r}, {u1 - r, v1 - r}, {u0 + r, v1 - r}, {u0 + r, v0 + r}};
  Ring ring;
  for (int corner = 0; corner < 4; ++corner) {
    for (int i = 0; i <= perCorner; ++i) {
      const double a = std::numbers::pi / 2 * (corner - 1) + std::numbers::pi / 2 * i / perCorner;
      ring.push_back({centres[corner].u + r * std::cos(a), centres[corner].v + r * std::sin(a)});
    }
  }
  return ring;
}

bool SegmentsCross(const P2& a, const P2& b, const P2& c, const P2& d) {
  const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
  return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0;
}

// Triangulates a polygon with holes by ear clipping, after joining each hole to the
// outline by a bridge to the nearest vertex it can see. Indices are into points: the
// outline's points first, then each hole's.
std::vector<std::array<int, 3>> Triangulate(const std::vector<P2>& points, std::vector<std::vector<int>> rings) {
  std::vector<int> polygon = rings[0];
  std::vector<std::vector<int>> holes(rings.begin() + 1, rings.end());
  std::sort(holes.begin(), holes.end(), [&](const auto& a, const auto& b) {
    auto right = [&](const auto& h) {
      return std::max_element(h.begin(), h.end(), [&](int x, int y) { return points[x].u < points[y].u; });
    };
    return points[*right(a)].u > points[*right(b)].u;
  });
  for (size_t h = 0; h < holes.size(); ++h) {
    const std::vector<int>& hole = holes[h];
    const size_t m = static_cast<size_t>(
        std::max_element(hole.begin(), hole.end(), [&](int x, int y) { return points[x].u < points[y].u; }) -
        hole.begin());
    const P2& from = points[hole[m]];
    auto blocked = [&](const P2& to) {
      auto crosses = [&](const std::vector<int>& ring) {
        for (size_t i = 0; i < ring.size(); ++i) {
          if (SegmentsCross(from, to, points[ring[i]], points[ring[(i + 1) % ring.size()]])) {
            return true;
          }
        }
        return false;
      };
      if (crosses(polygon)) {
        return true;
      }
      for (size_t k = h; k < holes.size(); ++k) {
        if (crosses(holes[k])) {
          return true;
        }
      }
      return false;
    };
    size_t best = polygon.size();
    double bestDistance = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
      const P2& to = points[polygon[i]];
      const double distance = std::hypot(to.u - from.u, to.v - from.v);
      if ((best == polygon.size() || distance < bestDistance) && !blocked(to)) {
        best = i;
        bestDistance = distance;
      }
    }
    std::vector<int> joined(polygon.begin(), polygon.begin() + static_cast<long>(best) + 1);
    for (size_t k = 0; k <= hole.size(); ++k) {
      joined.push_back(hole[(m + k) % hole.size()]);
    }
    joined.insert(joined.end(), polygon.begin() + static_cast<long>(best), polygon.end());
    polygon = std::move(joined);
  }

  std::vector<std::array<int, 3>> triangles;
  while (polygon.size() > 3) {
    bool clipped = false;
    for (size_t i = 0; i < polygon.size() && !clipped; ++i) {
      const int a = polygon[(i + polygon.size() - 1) % polygon.size()], b = polygon[i],
                c = polygon[(i + 1) % polygon.size()];
      if (Cross(points[a], points[b], points[c]) <= 1e-12) {
        continue;  // reflex or flat
      }
      bool empty = true;
      for (const int k : polygon) {
        if (k == a || k == b || k == c) {
          continue;
        }
        const P2& p = points[k];
        if (Cross(points[a], points[b], p) >= 0 && Cross(points[b], points[c], p) >= 0 &&
            Cross(points[c], points[a], p) >= 0) {
          empty = false;
          break;
        }
      }
      if (empty) {
        triangles.push_back({a, b, c});
        polygon.erase(polygon.begin() + static_cast<long>(i));
        clipped = true;
      }
    }
    if (!clipped) {
      std::fprintf(stderr, "make_sample_models: cannot triangulate a profile\n");
      std::exit(1);
    }
  }
  triangles.push_back({polygon[0], polygon[1], polygon[2]});
  return triangles;
}

// The frame a profile is swept in: u and v across, w along; u x v = w.
struct Frame {
  int u, v, w;  // world axes 0 (x), 1 (y), 2 (z)
};
constexpr Frame kAlongX{1, 2, 0};
constexpr Frame kAlongZ{0, 1, 2};

// Adds the profile (an outline and holes) swept along the frame's w from w0 to w1.
void Extrude(Mesh& mesh, const Frame& frame, Ring outline, std::vector<Ring> holes, double w0, double w1) {
  if (SignedArea(outline) < 0) {
    std::reverse(outline.begin(), outline.end());
  }
  for (Ring& hole : holes) {
    if (SignedArea(hole) > 0) {
      std::reverse(hole.begin(), hole.end());
    }
  }
  std::vector<P2> points(outline);
  std::vector<std::vector<int>> rings(1);
  for (size_t i = 0; i < outline.size(); ++i) {
    rings[0].push_back(static_cast<int>(i));
  }
  for (const Ring& hole : holes) {
    rings.emplace_back();
    for (const P2& p : hole) {
      rings.back().push_back(static_cast<int>(points.size()));
      points.push_back(p);
    }
  }
  const int base = static_cast<int>(mesh.vertices.size());
  const int count = static_cast<int>(points.size());
  for (const double w : {w0, w1}) {
    for (const P2& p : points) {
      std::array<double, 3> vertex{};
      vertex[frame.u] = p.u;
      vertex[frame.v] = p.v;
      vertex[frame.w] = w;
      mesh.vertices.push_back(vertex);
    }
  }
  auto bottom = [&](int i) { return base + i + 1; };  // OBJ counts from 1
  auto top = [&](int i) { return base + count + i + 1; };
  for (const auto& [a, b, c] : Triangulate(points, rings)) {
    mesh.faces.push_back({top(a), top(b), top(c)});
    mesh.faces.push_back({bottom(a), bottom(c), bottom(b)});
  }
  // Walls: outward for the outline (counter-clockwise) and into the holes (clockwise).
  for (const auto& ring : rings) {
    for (size_t i = 0; i < ring.size(); ++i) {
      const int a = ring[i], b = ring[(i + 1) % ring.size()];
      mesh.faces.push_back({bottom(a), bottom(b), top(b), top(a)});
    }
  }
}

std::string Number(double value) {
  value = std::round(value * 10000) / 10000;
  if (value == 0) {
    value = 0;  // no "-0"
  }
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof(buffer), value).ptr;
  return std::string(buffer, end);
}

bool Write(const std::string& folder, const std::string& name, const std::string& what, const Mesh& mesh) {
  std::string text = "# " + name + ": " + what + " (sample pump, mm, z up)\n";
  std::vector<std::array<double, 3>> rounded;
  for (const auto& v : mesh.vertices) {
    text += "v " + Number(v[0]) + " " + Number(v[1]) + " " + Number(v[2]) + "\n";
    rounded.push_back({std::stod(Number(v[0])), std::stod(Number(v[1])), std::stod(Number(v[2]))});
  }
  // One normal per face, from its first three corners, shared by faces that agree.
  std::map<std::array<std::string, 3>, int> normals;
  std::string faces;
  for (const auto& face : mesh.faces) {
    const auto& a = rounded[face[0] - 1];
    const auto& b = rounded[face[1] - 1];
    const auto& c = rounded[face[2] - 1];
    const double e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    double n[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    const std::array<std::string, 3> key{Number(n[0] / length), Number(n[1] / length), Number(n[2] / length)};
    auto [found, added] = normals.emplace(key, static_cast<int>(normals.size()) + 1);
    if (added) {
      text += "vn " + key[0] + " " + key[1] + " " + key[2] + "\n";
    }
    faces += "f";
    for (const int corner : face) {
      faces += " " + std::to_string(corner) + "//" + std::to_string(found->second);
    }
    faces += "\n";
  }
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out << text << faces;
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_sample_models: cannot write %s/%s\n", folder.c_str(), name.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_models FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  bool written = true;

  Mesh base;
  Extrude(base, kAlongZ, Rectangle(-120, -60, 140, 60),
          {Circle(-105, -45, 6, 24), Circle(-105, 45, 6, 24), Circle(125, -45, 6, 24), Circle(125, 45, 6, 24)}, 0, 10);
  written = Write(folder, "base.obj", "base plate with four bolt holes", base) && written;

  Mesh housing;
  Extrude(housing, kAlongZ, RoundedRectangle(-40, -40, 40, 40, 6, 4), {Circle(0, 0, 18, 40)}, 10, 90);
  written = Write(folder, "housing.obj", "housing with a bore", housing) && written;

  Mesh cover;
  Extrude(cover, kAlongX, RoundedRectangle(-35, 15, 35, 85, 12, 8), {}, 40, 50);
  written = Write(folder, "cover.obj", "cover with rounded corners", cover) && written;

  Mesh motor;
  Extrude(motor, kAlongX, Circle(0, 40, 30, 48), {}, -110, -45);
  Extrude(motor, kAlongZ, Rectangle(-95, -12, -70, 12), {}, 64, 80);  // terminal box, sunk into the body
  written = Write(folder, "motor.obj", "motor: a round body and its terminal box", motor) && written;

  Mesh shaft;
  Extrude(shaft, kAlongX, Circle(0, 50, 5, 24), {}, 50, 110);
  written = Write(folder, "shaft.obj", "shaft", shaft) && written;

  const auto flange = [](double x0, double x1) {
    Mesh plate;
    std::vector<Ring> holes{Circle(0, 50, 8, 32)};
    for (int i = 0; i < 4; ++i) {
      const double a = std::numbers::pi / 4 + std::numbers::pi / 2 * i;
      holes.push_back(Circle(14 * std::cos(a), 50 + 14 * std::sin(a), 2.5, 16));
    }
    Extrude(plate, kAlongX, Circle(0, 50, 20, 48), holes, x0, x1);
    return plate;
  };
  written = Write(folder, "flange_a.obj", "flange plate with a bore and four bolt holes", flange(110, 115)) && written;
  written = Write(folder, "flange_b.obj", "flange plate with a bore and four bolt holes", flange(115, 120)) && written;
  return written ? 0 : 1;
}
