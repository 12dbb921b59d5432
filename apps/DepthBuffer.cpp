#include "DepthBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace symbols_tool {

DepthBuffer::DepthBuffer(double pageWidth, double pageHeight, double pixelsPerUnit, size_t maxPixels) {
  const double width = std::clamp(pageWidth, 1.0, 1e6), height = std::clamp(pageHeight, 1.0, 1e6);
  m_scale = std::max(pixelsPerUnit, 1e-6);
  const double pixels = width * height * m_scale * m_scale;
  if (pixels > static_cast<double>(maxPixels)) {
    m_scale *= std::sqrt(static_cast<double>(maxPixels) / pixels);
  }
  m_width = std::max(1, static_cast<int>(std::ceil(width * m_scale)));
  m_height = std::max(1, static_cast<int>(std::ceil(height * m_scale)));
  const size_t size = static_cast<size_t>(m_width) * m_height;
  m_near.assign(size, -std::numeric_limits<float>::infinity());
  m_triangle.assign(size, kEmpty);
}

bool DepthBuffer::PixelAt(double x, double y, int& column, int& row) const {
  const double px = std::floor(x * m_scale), py = std::floor(y * m_scale);
  if (!(px >= 0 && px < m_width && py >= 0 && py < m_height)) {
    return false;
  }
  column = static_cast<int>(px);
  row = static_cast<int>(py);
  return true;
}

void DepthBuffer::Cover(uint32_t nearer, uint32_t farther) {
  // A triangle meets the same neighbour pixel after pixel: note it once in a row.
  if (!m_coverings.empty() && m_coverings.back() == std::make_pair(nearer, farther)) {
    return;
  }
  m_coverings.emplace_back(nearer, farther);
  // Kept to the pairs there are, however many pixels repeat them.
  if (m_coverings.size() >= m_compactAt) {
    m_coverings = Coverings();
    m_compactAt = std::max(m_compactAt, 2 * m_coverings.size());
  }
}

std::vector<std::pair<uint32_t, uint32_t>> DepthBuffer::Coverings() const {
  std::vector<std::pair<uint32_t, uint32_t>> pairs = m_coverings;
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  return pairs;
}

void DepthBuffer::Draw(const ViewProjection::PagePoint& a, const ViewProjection::PagePoint& b,
                       const ViewProjection::PagePoint& c, Owner owner) {
  const uint32_t number = static_cast<uint32_t>(m_owners.size());
  m_owners.push_back(owner);
  // In pixels; counter-clockwise, so that the edge functions are positive inside.
  double x[3] = {a.x * m_scale, b.x * m_scale, c.x * m_scale};
  double y[3] = {a.y * m_scale, b.y * m_scale, c.y * m_scale};
  double z[3] = {a.near, b.near, c.near};
  double area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
  if (area < 0) {
    std::swap(x[1], x[2]);
    std::swap(y[1], y[2]);
    std::swap(z[1], z[2]);
    area = -area;
  }
  if (!(area > 0) || !std::isfinite(area)) {
    return;
  }
  const double minX = std::max(0.0, std::floor(std::min({x[0], x[1], x[2]}) - 0.5));
  const double maxX = std::min(m_width - 1.0, std::ceil(std::max({x[0], x[1], x[2]}) - 0.5));
  const double minY = std::max(0.0, std::floor(std::min({y[0], y[1], y[2]}) - 0.5));
  const double maxY = std::min(m_height - 1.0, std::ceil(std::max({y[0], y[1], y[2]}) - 0.5));
  if (minX > maxX || minY > maxY) {
    return;
  }
  // Edge function of the side opposite corner i at a pixel centre: its weight times area.
  struct Side {
    double dx, dy, at;  // change per column, per row, value at (minX + 0.5, minY + 0.5)
  };
  Side sides[3];
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    const double ex = x[k] - x[j], ey = y[k] - y[j];
    sides[i].dx = -ey;
    sides[i].dy = ex;
    sides[i].at = ex * (minY + 0.5 - y[j]) - ey * (minX + 0.5 - x[j]);
  }
  const double inverse = 1.0 / area;
  const int columns = static_cast<int>(maxX - minX) + 1;
  for (int row = static_cast<int>(minY); row <= static_cast<int>(maxY); ++row) {
    const double dr = row - minY;
    const double w[3] = {sides[0].at + sides[0].dy * dr, sides[1].at + sides[1].dy * dr,
                         sides[2].at + sides[2].dy * dr};
    // The columns where all three edge functions can be positive: thin triangles
    // cross a wide box in a few pixels a row.
    double first = 0, last = columns - 1;
    for (int i = 0; i < 3; ++i) {
      if (sides[i].dx > 0) {
        first = std::max(first, std::floor(-w[i] / sides[i].dx));
      } else if (sides[i].dx < 0) {
        last = std::min(last, std::ceil(-w[i] / sides[i].dx));
      } else if (w[i] < 0) {
        last = -1;
      }
    }
    if (!(first <= last)) {
      continue;
    }
    size_t index = static_cast<size_t>(row) * m_width + static_cast<size_t>(minX) + static_cast<size_t>(first);
    for (int column = static_cast<int>(first); column <= static_cast<int>(last); ++column, ++index) {
      const double w0 = w[0] + sides[0].dx * column, w1 = w[1] + sides[1].dx * column, w2 = w[2] + sides[2].dx * column;
      if (w0 < 0 || w1 < 0 || w2 < 0) {
        continue;
      }
      const float near = static_cast<float>((w0 * z[0] + w1 * z[1] + w2 * z[2]) * inverse);
      const uint32_t there = m_triangle[index];
      if (near > m_near[index]) {
        if (there != kEmpty && m_owners[there].group != owner.group) {
          Cover(owner.group, m_owners[there].group);
        }
        m_near[index] = near;
        m_triangle[index] = number;
      } else if (there != kEmpty && m_owners[there].group != owner.group) {
        Cover(m_owners[there].group, owner.group);
      }
    }
  }
}

}  // namespace symbols_tool
