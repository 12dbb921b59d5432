#include "oxk/Shape.h"

namespace oxk {

bool Shape::GetDataStatus(int32_t /*kind*/, int32_t& status) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  status = m_status;
  return true;
}

void Shape::SetDataStatus(int32_t status) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_status = status;
}

void Shape::SetGeometry(std::vector<float> vertices, std::vector<uint32_t> triangles, const geo::FBox& box) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_vertices = std::move(vertices);
  m_triangles = std::move(triangles);
  m_box = box;
  m_status = kDataLoaded;
}

bool Shape::HasGeometry() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_status == kDataLoaded;
}

geo::FBox Shape::GetModelBox() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_box;
}

size_t Shape::GetVertexCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_vertices.size() / 3;
}

size_t Shape::GetTriangleCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_triangles.size() / 3;
}

}  // namespace oxk
