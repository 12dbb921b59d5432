// An axis-aligned rectangle in doubles (2D document space).
#pragma once

namespace geo {

struct DBox2D {
  double minX = 0.0;
  double minY = 0.0;
  double maxX = 0.0;
  double maxY = 0.0;

  [[nodiscard]] double Width() const { return maxX - minX; }
  [[nodiscard]] double Height() const { return maxY - minY; }
  constexpr bool operator==(const DBox2D&) const = default;
};

}  // namespace geo
