// A depth buffer over a page, finer than the page: for each pixel the nearness of the
// nearest triangle drawn there and which triangle that is. Triangles are drawn for
// groups (a group is a solid); where a triangle of one group is nearer than one of
// another at a pixel, the buffer notes that the first group covers the second.
// Triangles get numbers in the order they are drawn; each remembers its group and a
// tag the caller chose.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "ViewProjection.h"

namespace symbols_tool {

class DepthBuffer {
 public:
  static constexpr uint32_t kEmpty = UINT32_MAX;
  struct Owner {
    uint32_t group = 0;
    uint32_t tag = 0;
  };

  // A buffer over the page of the given size with pixelsPerUnit pixels a page unit,
  // fewer when the pixels would pass maxPixels.
  DepthBuffer(double pageWidth, double pageHeight, double pixelsPerUnit, size_t maxPixels);
  DepthBuffer(const DepthBuffer&) = delete;
  DepthBuffer& operator=(const DepthBuffer&) = delete;

  [[nodiscard]] int Width() const { return m_width; }
  [[nodiscard]] int Height() const { return m_height; }
  [[nodiscard]] double PixelsPerUnit() const { return m_scale; }

  // Draws a triangle given in page coordinates, keeping the nearer at each pixel whose
  // centre it covers (its edges included).
  void Draw(const ViewProjection::PagePoint& a, const ViewProjection::PagePoint& b, const ViewProjection::PagePoint& c,
            Owner owner);

  // The pixel that holds a page point; false outside the buffer.
  [[nodiscard]] bool PixelAt(double x, double y, int& column, int& row) const;
  // The triangle number at a pixel (kEmpty where none was drawn) and its nearness.
  [[nodiscard]] uint32_t TriangleAt(int column, int row) const {
    return m_triangle[static_cast<size_t>(row) * m_width + column];
  }
  [[nodiscard]] float NearAt(int column, int row) const { return m_near[static_cast<size_t>(row) * m_width + column]; }
  [[nodiscard]] const Owner& OwnerOf(uint32_t triangle) const { return m_owners[triangle]; }
  // Which group covers which somewhere: (nearer, farther) pairs, each once, sorted.
  [[nodiscard]] std::vector<std::pair<uint32_t, uint32_t>> Coverings() const;

 private:
  void Cover(uint32_t nearer, uint32_t farther);

  int m_width = 1;
  int m_height = 1;
  double m_scale = 1.0;
  std::vector<float> m_near;
  std::vector<uint32_t> m_triangle;
  std::vector<Owner> m_owners;
  std::vector<std::pair<uint32_t, uint32_t>> m_coverings;  // may repeat until Coverings
  size_t m_compactAt = size_t{1} << 16;
};

}  // namespace symbols_tool
