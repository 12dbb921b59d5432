#include "oxg/Shape.h"

namespace oxg {

Shape::Shape(std::vector<float> vertices, std::vector<uint32_t> triangles)
    : m_vertices(std::move(vertices)), m_triangles(std::move(triangles)) {
  for (const uint32_t index : m_triangles) {
    const float* v = &m_vertices[static_cast<size_t>(index) * 3];
    m_box.Enclose(geo::DPoint3D(v[0], v[1], v[2]));
  }
}

}  // namespace oxg
