// A colour as red, green, blue and alpha floats in [0, 1].
#pragma once

namespace geo {

struct Color {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 1.0f;

  constexpr Color() = default;
  constexpr Color(float r_, float g_, float b_, float a_ = 1.0f) : r(r_), g(g_), b(b_), a(a_) {}

  static const Color BLACK;
  static const Color WHITE;

  constexpr bool operator==(const Color&) const = default;
};

inline constexpr Color Color::BLACK{0, 0, 0, 1};
inline constexpr Color Color::WHITE{1, 1, 1, 1};

}  // namespace geo
