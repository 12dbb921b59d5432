#include "HiddenLineView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

#include "DepthBuffer.h"
#include "FeatureEdges.h"
#include "LineChains.h"
#include "Silhouette.h"

namespace symbols_tool {

namespace {

using oxk::illustration2d::LineArt2D;

// Lines are sampled every half pixel of the buffer.
constexpr double kSamplesPerPixel = 2.0;
// A surface counts as hiding a line only when it is nearer than the line by what a
// surface at 45 degrees to the view changes over this many pixels: faces that touch
// the line, sampled a fraction of a pixel beside it, do not hide it.
constexpr double kTouchPixels = 2.0;
// Runs of samples shorter than this many pixels take the state of the runs around
// them: a line does not flicker between seen and hidden where it grazes a surface.
constexpr double kShortestRunPixels = 2.0;
// The visible area reaches this many pixels past the pixels a solid shows in, so that
// where nothing nearer stops it, the silhouette's own boundary bounds it.
constexpr double kAreaReachPixels = 0.75;

// What one solid shows in the buffer: its pixels merged into boxes (row runs that the
// next row repeats grow taller), their count and their summed nearness.
struct Shown {
  std::vector<Silhouette::Box> boxes;
  size_t pixels = 0;
  double nearness = 0.0;
};

std::vector<Shown> ScanPixels(const DepthBuffer& buffer, size_t solids) {
  std::vector<Shown> shown(solids);
  const double unit = 1.0 / buffer.PixelsPerUnit();
  struct Run {
    int from, to;  // columns, to excluded
    uint32_t group;
    size_t box;  // index into the group's boxes
  };
  std::vector<Run> above;
  std::vector<Run> here;
  for (int row = 0; row < buffer.Height(); ++row) {
    here.clear();
    size_t k = 0;  // the first run above that may still line up with the runs here
    for (int column = 0; column < buffer.Width();) {
      const uint32_t triangle = buffer.TriangleAt(column, row);
      if (triangle == DepthBuffer::kEmpty) {
        ++column;
        continue;
      }
      const uint32_t group = buffer.OwnerOf(triangle).group;
      const int from = column;
      double nearness = 0;
      for (; column < buffer.Width(); ++column) {
        const uint32_t there = buffer.TriangleAt(column, row);
        if (there == DepthBuffer::kEmpty || buffer.OwnerOf(there).group != group) {
          break;
        }
        nearness += buffer.NearAt(column, row);
      }
      Shown& solid = shown[group];
      solid.pixels += static_cast<size_t>(column - from);
      solid.nearness += nearness;
      while (k < above.size() && above[k].from < from) {
        ++k;
      }
      if (k < above.size() && above[k].from == from && above[k].to == column && above[k].group == group) {
        solid.boxes[above[k].box].maxY = (row + 1) * unit;
        here.push_back({from, column, group, above[k].box});
      } else {
        solid.boxes.push_back({from * unit, row * unit, column * unit, (row + 1) * unit});
        here.push_back({from, column, group, solid.boxes.size() - 1});
      }
    }
    std::swap(above, here);
  }
  return shown;
}

// The order to paint solids in: each after those it covers; where the covering runs in
// a ring, the solid that is farther on the whole (by the mean nearness of its pixels)
// goes first. Returns each solid's rank.
std::vector<size_t> PaintRanks(const std::vector<std::pair<uint32_t, uint32_t>>& coverings,
                               const std::vector<Shown>& shown) {
  const size_t count = shown.size();
  std::vector<double> nearness(count, std::numeric_limits<double>::lowest());
  for (size_t i = 0; i < count; ++i) {
    if (shown[i].pixels > 0) {
      nearness[i] = shown[i].nearness / static_cast<double>(shown[i].pixels);
    }
  }
  std::vector<size_t> waiting(count, 0);  // how many solids it covers are not painted yet
  std::vector<std::vector<uint32_t>> coveredBy(count);
  for (const auto& [nearer, farther] : coverings) {
    ++waiting[nearer];
    coveredBy[farther].push_back(nearer);
  }
  using Entry = std::pair<double, uint32_t>;  // farthest, then first added, first
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> ready, all;
  for (uint32_t i = 0; i < count; ++i) {
    all.emplace(nearness[i], i);
    if (waiting[i] == 0) {
      ready.emplace(nearness[i], i);
    }
  }
  std::vector<size_t> rank(count, 0);
  std::vector<bool> painted(count, false);
  for (size_t next = 0; next < count; ++next) {
    // Solids become ready once, when the last solid they cover is painted; a ring is
    // broken by its farthest solid not painted yet.
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>>& from = ready.empty() ? all : ready;
    while (painted[from.top().second]) {
      from.pop();
    }
    const uint32_t solid = from.top().second;
    from.pop();
    painted[solid] = true;
    rank[solid] = next;
    for (const uint32_t nearer : coveredBy[solid]) {
      if (!painted[nearer] && --waiting[nearer] == 0) {
        ready.emplace(nearness[nearer], nearer);
      }
    }
  }
  return rank;
}

// Samples the lines of one solid against the buffer and sorts their pieces by kind.
class LineSampler {
 public:
  LineSampler(const DepthBuffer& buffer, const ViewProjection& view, const PageMesh& mesh, uint32_t solid)
      : m_buffer(buffer), m_view(view), m_mesh(mesh), m_solid(solid) {}

  void Sample(const PageMesh::Edge& edge, bool outline) {
    const ViewProjection::PagePoint& a = m_mesh.Points()[edge.a];
    const ViewProjection::PagePoint& b = m_mesh.Points()[edge.b];
    // Only the part over the buffer is sampled; the rest is off the page, where
    // nothing hides it.
    double t0 = 0, t1 = 1;
    if (!ClipToPage(a, b, t0, t1)) {
      Add(a, b, 0, 1, true, outline);
      return;
    }
    const double pixels = std::hypot(b.x - a.x, b.y - a.y) * (t1 - t0) * m_buffer.PixelsPerUnit();
    const size_t count = std::max<size_t>(1, static_cast<size_t>(std::ceil(pixels * kSamplesPerPixel)));
    m_seen.resize(count);
    for (size_t i = 0; i < count; ++i) {
      const double t = t0 + (t1 - t0) * (static_cast<double>(i) + 0.5) / static_cast<double>(count);
      m_seen[i] = Seen(edge, {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.near + (b.near - a.near) * t}, outline);
    }
    Smooth(static_cast<size_t>(kShortestRunPixels * kSamplesPerPixel));
    if (t0 > 0) {
      Add(a, b, 0, t0, true, outline);
    }
    size_t start = 0;
    for (size_t i = 1; i <= count; ++i) {
      if (i == count || m_seen[i] != m_seen[start]) {
        const double from = start == 0 ? t0 : t0 + (t1 - t0) * static_cast<double>(start) / static_cast<double>(count);
        const double to = i == count ? t1 : t0 + (t1 - t0) * static_cast<double>(i) / static_cast<double>(count);
        Add(a, b, from, to, m_seen[start] != 0, outline);
        start = i;
      }
    }
    if (t1 < 1) {
      Add(a, b, t1, 1, true, outline);
    }
  }

  std::vector<LineChains::Piece> outlines;
  std::vector<LineChains::Piece> edges;
  std::vector<LineChains::Piece> hidden;

 private:
  // The parameters of the part of a to b over the buffer; false when none is.
  bool ClipToPage(const ViewProjection::PagePoint& a, const ViewProjection::PagePoint& b, double& t0,
                  double& t1) const {
    const double width = m_buffer.Width() / m_buffer.PixelsPerUnit();
    const double height = m_buffer.Height() / m_buffer.PixelsPerUnit();
    const double from[2] = {a.x, a.y}, way[2] = {b.x - a.x, b.y - a.y}, high[2] = {width, height};
    for (int axis = 0; axis < 2; ++axis) {
      if (way[axis] == 0) {
        if (from[axis] < 0 || from[axis] > high[axis]) {
          return false;
        }
        continue;
      }
      double enter = (0 - from[axis]) / way[axis], leave = (high[axis] - from[axis]) / way[axis];
      if (enter > leave) {
        std::swap(enter, leave);
      }
      t0 = std::max(t0, enter);
      t1 = std::min(t1, leave);
    }
    return t0 < t1;
  }

  // Whether nothing at the pixel hides the point: the pixel is empty, shows a face of
  // the line itself, or a surface not nearer than the point by more than a touch.
  bool SeenAt(int column, int row, const PageMesh::Edge& edge, const ViewProjection::PagePoint& at,
              double touch) const {
    const uint32_t triangle = m_buffer.TriangleAt(column, row);
    if (triangle == DepthBuffer::kEmpty) {
      return true;
    }
    const DepthBuffer::Owner& owner = m_buffer.OwnerOf(triangle);
    if (owner.group == m_solid && (owner.tag == edge.left || owner.tag == edge.right)) {
      return true;
    }
    return m_buffer.NearAt(column, row) <= at.near + touch;
  }

  // A crease is seen where its own pixel shows it. An outline lies where the solid ends,
  // so the pixel beside it may show a neighbouring face of its own folded over it by a
  // hair (a faceted round's outline zigzags): it is seen where any pixel around it is.
  bool Seen(const PageMesh::Edge& edge, const ViewProjection::PagePoint& at, bool outline) const {
    int column = 0, row = 0;
    if (!m_buffer.PixelAt(at.x, at.y, column, row)) {
      return true;
    }
    const double touch =
        m_view.NearnessSpan(at.near, kTouchPixels / m_buffer.PixelsPerUnit()) + 1e-6 * std::fabs(at.near);
    if (!outline) {
      return SeenAt(column, row, edge, at, touch);
    }
    for (int r = std::max(0, row - 1); r <= std::min(m_buffer.Height() - 1, row + 1); ++r) {
      for (int c = std::max(0, column - 1); c <= std::min(m_buffer.Width() - 1, column + 1); ++c) {
        if (SeenAt(c, r, edge, at, touch)) {
          return true;
        }
      }
    }
    return false;
  }

  // Runs shorter than shortest between two runs take their state; so do short runs at
  // either end of a line.
  void Smooth(size_t shortest) {
    std::vector<std::pair<size_t, size_t>> runs;  // start, length
    for (size_t i = 0; i < m_seen.size();) {
      size_t j = i + 1;
      while (j < m_seen.size() && m_seen[j] == m_seen[i]) {
        ++j;
      }
      runs.emplace_back(i, j - i);
      i = j;
    }
    if (runs.size() < 2) {
      return;
    }
    for (size_t r = 0; r < runs.size(); ++r) {
      const auto [start, length] = runs[r];
      if (length >= shortest) {
        continue;
      }
      const size_t neighbour = r == 0 ? runs[1].first : runs[r - 1].first;
      std::fill(m_seen.begin() + static_cast<std::ptrdiff_t>(start),
                m_seen.begin() + static_cast<std::ptrdiff_t>(start + length), m_seen[neighbour]);
    }
  }

  void Add(const ViewProjection::PagePoint& a, const ViewProjection::PagePoint& b, double from, double to, bool seen,
           bool outline) {
    // The ends of a whole edge are its vertices exactly, so that pieces meet.
    const LineChains::Point p =
        from == 0 ? LineChains::Point{a.x, a.y} : LineChains::Point{a.x + (b.x - a.x) * from, a.y + (b.y - a.y) * from};
    const LineChains::Point q =
        to == 1 ? LineChains::Point{b.x, b.y} : LineChains::Point{a.x + (b.x - a.x) * to, a.y + (b.y - a.y) * to};
    (seen ? (outline ? outlines : edges) : hidden).push_back({p, q});
  }

  const DepthBuffer& m_buffer;
  const ViewProjection& m_view;
  const PageMesh& m_mesh;
  const uint32_t m_solid;
  std::vector<char> m_seen;
};

}  // namespace

bool HiddenLineView::Draw(std::vector<Drawn>& drawn, std::string& error) const {
  drawn.assign(m_meshes.size(), Drawn{});
  if (m_meshes.empty()) {
    return true;
  }
  DepthBuffer buffer(m_view.PageWidth(), m_view.PageHeight(), m_options.pixelsPerUnit, m_options.maxPixels);
  for (uint32_t solid = 0; solid < m_meshes.size(); ++solid) {
    const PageMesh& mesh = m_meshes[solid];
    const auto& points = mesh.Points();
    const auto& triangles = mesh.Triangles();
    for (uint32_t t = 0; t < triangles.size(); ++t) {
      if (mesh.CanBeSeen(triangles[t])) {
        const auto& c = triangles[t].corners;
        buffer.Draw(points[c[0]], points[c[1]], points[c[2]], {solid, t});
      }
    }
  }
  const std::vector<Shown> shown = ScanPixels(buffer, m_meshes.size());
  const double reach = kAreaReachPixels / buffer.PixelsPerUnit();
  const auto coverings = buffer.Coverings();
  std::vector<bool> covered(m_meshes.size(), false);
  for (const auto& pair : coverings) {
    covered[pair.second] = true;
  }
  const std::vector<size_t> ranks = PaintRanks(coverings, shown);

  for (uint32_t solid = 0; solid < m_meshes.size(); ++solid) {
    const PageMesh& mesh = m_meshes[solid];
    Drawn& result = drawn[solid];
    result.paintRank = ranks[solid];
    if (mesh.IsEmpty()) {
      continue;
    }
    // The area: the silhouette, cut to where the solid shows when something covers it.
    Silhouette silhouette;
    if (!silhouette.Unite(mesh, error)) {
      return false;
    }
    if (covered[solid]) {
      if (!silhouette.KeepNear(shown[solid].boxes, reach, error)) {
        return false;
      }
    }
    if (!covered[solid] || shown[solid].pixels > 0) {
      result.art.areas = silhouette.Rings();
    }

    LineSampler sampler(buffer, m_view, mesh, solid);
    for (const FeatureEdges::Line& line : FeatureEdges::Find(mesh)) {
      sampler.Sample(mesh.Edges()[line.edge], line.outline);
    }
    result.art.outlines = LineChains::Join(sampler.outlines);
    result.art.edges = LineChains::Join(sampler.edges);
    if (m_options.hiddenLines) {
      result.art.hidden = LineChains::Join(sampler.hidden);
    }
  }
  return true;
}

}  // namespace symbols_tool
