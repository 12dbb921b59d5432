// Loaded geometry: vertices and triangles as a file gave them. Immutable once made, so
// any thread may read it while another replaces a shape's data with a new object.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "orrinsymbols/geo/DBox.h"
#include "orrinsymbols/oxg/GeometryPoolAllocated.h"
#include "orrinsymbols/util/RefCounted.h"

namespace oxg {

class Shape : public util::RefCounted, public GeometryPoolAllocated {
 public:
  // vertices: x, y, z per vertex; triangles: three vertex indices each, all below the
  // vertex count.
  Shape(std::vector<float> vertices, std::vector<uint32_t> triangles);

  // The box of the vertices the triangles use (EMPTY without triangles): vertices no
  // face refers to do not widen the shape. Computed once, when the shape is made.
  [[nodiscard]] geo::DBox ComputeModelGeomBBox() const { return m_box; }
  [[nodiscard]] size_t GetVertexCount() const { return m_vertices.size() / 3; }
  [[nodiscard]] size_t GetTriangleCount() const { return m_triangles.size() / 3; }
  [[nodiscard]] const std::vector<float>& GetVertices() const { return m_vertices; }
  [[nodiscard]] const std::vector<uint32_t>& GetTriangles() const { return m_triangles; }

 protected:
  ~Shape() override = default;

 private:
  const std::vector<float> m_vertices;
  const std::vector<uint32_t> m_triangles;
  geo::DBox m_box;
};

}  // namespace oxg
