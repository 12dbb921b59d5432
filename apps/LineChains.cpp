#include "LineChains.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace symbols_tool {

namespace {

struct PointKey {
  uint64_t x, y;
  bool operator==(const PointKey&) const = default;
};

struct PointKeyHash {
  size_t operator()(const PointKey& key) const { return std::hash<uint64_t>()(key.x * 0x9e3779b97f4a7c15ull ^ key.y); }
};

PointKey KeyOf(const LineChains::Point& point) {
  // +0.0 so that -0 and 0 meet.
  return {std::bit_cast<uint64_t>(point.x + 0.0), std::bit_cast<uint64_t>(point.y + 0.0)};
}

double Distance(const LineChains::Point& a, const LineChains::Point& b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

// How far p stands off the straight piece from a to b: a point where a line turns back
// on itself is no point of a straight run.
double OffLine(const LineChains::Point& p, const LineChains::Point& a, const LineChains::Point& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  const double t = length2 == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
  return std::hypot(a.x + dx * t - p.x, a.y + dy * t - p.y);
}

}  // namespace

std::vector<LineChains::Polyline> LineChains::Join(const std::vector<Piece>& pieces) {
  // Which pieces end at each point.
  std::unordered_map<PointKey, std::vector<uint32_t>, PointKeyHash> ends;
  ends.reserve(pieces.size() * 2);
  for (uint32_t i = 0; i < pieces.size(); ++i) {
    ends[KeyOf(pieces[i].from)].push_back(i);
    ends[KeyOf(pieces[i].to)].push_back(i);
  }
  std::vector<bool> used(pieces.size(), false);
  // The unused piece that continues from point, turned so that it starts there.
  auto next = [&](const Point& point, Point& far) {
    const auto found = ends.find(KeyOf(point));
    if (found == ends.end()) {
      return false;
    }
    for (const uint32_t i : found->second) {
      if (!used[i]) {
        used[i] = true;
        far = KeyOf(pieces[i].from) == KeyOf(point) ? pieces[i].to : pieces[i].from;
        return true;
      }
    }
    return false;
  };

  std::vector<Polyline> lines;
  for (uint32_t i = 0; i < pieces.size(); ++i) {
    if (used[i]) {
      continue;
    }
    used[i] = true;
    Polyline forward{pieces[i].from, pieces[i].to};
    Point far;
    while (next(forward.back(), far)) {
      forward.push_back(far);
    }
    Polyline backward{pieces[i].from};
    while (next(backward.back(), far)) {
      backward.push_back(far);
    }
    Polyline line(backward.rbegin(), backward.rend());
    line.insert(line.end(), forward.begin() + 1, forward.end());
    Thin(line);
    if (line.size() >= 2) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

void LineChains::Thin(Polyline& line) {
  if (line.size() < 2) {
    line.clear();
    return;
  }
  const bool closed = KeyOf(line.front()) == KeyOf(line.back());
  // Points too close to the one kept before them go; the last point stays in place of
  // the one kept before it.
  Polyline spaced{line.front()};
  for (size_t i = 1; i < line.size(); ++i) {
    const bool last = i + 1 == line.size();
    if (Distance(spaced.back(), line[i]) >= kResolution) {
      spaced.push_back(line[i]);
    } else if (last && spaced.size() > 1) {
      spaced.back() = line[i];
    }
  }
  // Points on a straight run go.
  Polyline thin{spaced.front()};
  for (size_t i = 1; i + 1 < spaced.size(); ++i) {
    if (OffLine(spaced[i], thin.back(), spaced[i + 1]) > kStraightness) {
      thin.push_back(spaced[i]);
    }
  }
  if (spaced.size() > 1) {
    thin.push_back(spaced.back());
  }
  if (thin.size() < 2 || (!closed && Distance(thin.front(), thin.back()) < kResolution && thin.size() == 2)) {
    line.clear();
    return;
  }
  line = std::move(thin);
}

}  // namespace symbols_tool
