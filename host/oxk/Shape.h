// The geometry behind shape instances: triangles and a model box, filled by the loader.
// The data status says how far loading went (kDataLoaded once the geometry is there).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "geo/FBox.h"
#include "oxk/Object.h"
#include "util/Symbol.h"

namespace oxk {

class Shape : public Object {
 public:
  // Frozen values of the data status.
  enum DataStatus : int32_t { kDataNone = 0, kDataLoading = 1, kDataFailed = 2, kDataLoaded = 3 };

  Shape() = default;
  explicit Shape(const util::Symbol& url) : m_url(url) {}

  // The url of the file the geometry is read from.
  [[nodiscard]] const util::Symbol& GetSourceURL() const { return m_url; }

  // The status for the given kind of data (the reference host keeps one status for all).
  bool GetDataStatus(int32_t kind, int32_t& status) const;
  void SetDataStatus(int32_t status);
  // Replaces the geometry and marks it loaded.
  void SetGeometry(std::vector<float> vertices, std::vector<uint32_t> triangles, const geo::FBox& box);
  [[nodiscard]] bool HasGeometry() const;
  [[nodiscard]] geo::FBox GetModelBox() const;
  [[nodiscard]] size_t GetVertexCount() const;
  [[nodiscard]] size_t GetTriangleCount() const;

 protected:
  ~Shape() override = default;

 private:
  const util::Symbol m_url{};
  mutable std::mutex m_mutex;
  int32_t m_status = kDataNone;
  std::vector<float> m_vertices;      // x, y, z per vertex
  std::vector<uint32_t> m_triangles;  // three vertex indices per triangle
  geo::FBox m_box;
};

}  // namespace oxk
