// A surface material: ambient, diffuse, emissive and specular colours and a shininess.
#pragma once

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/oxg/GeometryPoolAllocated.h"
#include "orrinsymbols/util/RefCounted.h"

namespace oxg {

class Material : public util::RefCounted, public GeometryPoolAllocated {
 public:
  Material(const geo::Color& ambient, const geo::Color& diffuse, const geo::Color& emissive, const geo::Color& specular,
           float shininess)
      : m_ambient(ambient), m_diffuse(diffuse), m_emissive(emissive), m_specular(specular), m_shininess(shininess) {}

  [[nodiscard]] const geo::Color& GetAmbient() const { return m_ambient; }
  [[nodiscard]] const geo::Color& GetDiffuse() const { return m_diffuse; }
  [[nodiscard]] const geo::Color& GetEmissive() const { return m_emissive; }
  [[nodiscard]] const geo::Color& GetSpecular() const { return m_specular; }
  [[nodiscard]] float GetShininess() const { return m_shininess; }

 protected:
  ~Material() override = default;

 private:
  geo::Color m_ambient;
  geo::Color m_diffuse;
  geo::Color m_emissive;
  geo::Color m_specular;
  float m_shininess;
};

}  // namespace oxg
