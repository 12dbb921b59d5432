// How a shape is drawn when its own look is overridden: a material, possibly none.
#pragma once

#include "orrinsymbols/oxg/GeometryPoolAllocated.h"
#include "orrinsymbols/oxg/Material.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxg {

class Appearance : public util::RefCounted, public GeometryPoolAllocated {
 public:
  explicit Appearance(const util::SmartPtr<Material>& material) : m_material(material) {}

  // False (out emptied) when the appearance has no material.
  bool GetMaterial(util::SmartPtr<Material>& material) const {
    material = m_material;
    return static_cast<bool>(material);
  }

 protected:
  ~Appearance() override = default;

 private:
  util::SmartPtr<Material> m_material;
};

}  // namespace oxg
