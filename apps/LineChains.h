// Joins line pieces into polylines where they meet end to end (pieces of one outline
// share their end points exactly), then thins each polyline to the page's resolution:
// no point closer than about a tenth of a page unit to the one before it, no point on
// a straight run. Polylines left shorter than that resolution are dropped.
#pragma once

#include <vector>

#include "oxk/illustration2d/LineArt2D.h"

namespace symbols_tool {

class LineChains {
 public:
  using Point = oxk::illustration2d::LineArt2D::Point;
  using Polyline = oxk::illustration2d::LineArt2D::Polyline;
  struct Piece {
    Point from;
    Point to;
  };

  // The page's resolution, in page units.
  static constexpr double kResolution = 0.1;
  // How far a point may stand off a straight run and still be dropped from it.
  static constexpr double kStraightness = 0.02;

  [[nodiscard]] static std::vector<Polyline> Join(const std::vector<Piece>& pieces);
  // Thins one polyline in place as Join does.
  static void Thin(Polyline& line);
};

}  // namespace symbols_tool
