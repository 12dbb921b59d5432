// An element of a 2D document: a node with element type bits, the layer and the page it
// is on, and an identity by which searches find it again.
#pragma once

#include <cstdint>
#include <mutex>

#include "orrinsymbols/oxk/illustration2d/Identity2D.h"
#include "orrinsymbols/oxk/illustration2d/Layer2D.h"
#include "orrinsymbols/oxk/illustration2d/Node2D.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration2d {

class Element2D : public Node2D {
 public:
  // Frozen: element type bits as documents store them.
  enum TypeBits : uint32_t {
    RootTypeBit = 0x1,
    GroupTypeBit = 0x2,
    SbomInstanceTypeBit = 0x4,
    SymbolTypeBit = 0x8,
    AnnotationTypeBit = 0x10,
    StampTypeBit = 0x20,
    OutlineTypeBit = 0x40,
  };

  explicit Element2D(uint32_t typeBits) : m_typeBits(typeBits) {}

  [[nodiscard]] uint32_t GetTypeBits() const { return m_typeBits; }
  [[nodiscard]] util::SmartPtr<Layer2D> GetLayer() const;
  void SetLayer(const util::SmartPtr<Layer2D>& layer);
  // The page that carries it, counted from 0 (the first page, the default).
  [[nodiscard]] int32_t GetPage() const;
  void SetPage(int32_t page);
  // Base: the type bits and no annotation path.
  [[nodiscard]] virtual Identity2D GetIdentity() const { return Identity2D(m_typeBits); }

 protected:
  ~Element2D() override = default;
  std::mutex& GetMutex() const { return m_mutex; }

 private:
  const uint32_t m_typeBits;
  mutable std::mutex m_mutex;
  util::SmartPtr<Layer2D> m_layer;
  int32_t m_page = 0;
};

}  // namespace oxk::illustration2d
