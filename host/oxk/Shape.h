// The geometry behind shape instances, filled by the loader: the loaded data (an
// oxg::Shape, replaced as a whole) and a data status saying how far loading went
// (kDataLoaded once the geometry is there).
#pragma once

#include <cstdint>
#include <mutex>

#include "orrinsymbols/geo/FBox.h"
#include "orrinsymbols/oxg/Shape.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

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
  // The loaded geometry; empty while none is loaded.
  [[nodiscard]] util::SmartPtr<oxg::Shape> GetShapeData() const;
  // Replaces the geometry and marks it loaded.
  void SetShapeData(const util::SmartPtr<oxg::Shape>& data);
  [[nodiscard]] bool HasGeometry() const;
  // The box of the loaded geometry (EMPTY while none is loaded).
  [[nodiscard]] geo::FBox GetModelBox() const;
  [[nodiscard]] size_t GetVertexCount() const;
  [[nodiscard]] size_t GetTriangleCount() const;

 protected:
  ~Shape() override = default;

 private:
  const util::Symbol m_url{};
  mutable std::mutex m_mutex;
  int32_t m_status = kDataNone;
  util::SmartPtr<oxg::Shape> m_data;
};

}  // namespace oxk
