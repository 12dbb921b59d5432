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

util::SmartPtr<oxg::Shape> Shape::GetShapeData() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_data;
}

void Shape::SetShapeData(const util::SmartPtr<oxg::Shape>& data) {
  util::SmartPtr<oxg::Shape> previous;
  std::lock_guard<std::mutex> guard(m_mutex);
  previous = m_data;
  m_data = data;
  m_status = kDataLoaded;
}

bool Shape::HasGeometry() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_status == kDataLoaded;
}

geo::FBox Shape::GetModelBox() const {
  const util::SmartPtr<oxg::Shape> data = GetShapeData();
  return data ? geo::FBox::FromDBox(data->ComputeModelGeomBBox()) : geo::FBox::EMPTY;
}

size_t Shape::GetVertexCount() const {
  const util::SmartPtr<oxg::Shape> data = GetShapeData();
  return data ? data->GetVertexCount() : 0;
}

size_t Shape::GetTriangleCount() const {
  const util::SmartPtr<oxg::Shape> data = GetShapeData();
  return data ? data->GetTriangleCount() : 0;
}

}  // namespace oxk
