#include "symbol2d/Symbol2DInfo.h"

#include "oxk/World.h"

namespace oxannotations {

namespace {
// Frozen: the preference key hosts store the shape colour under.
constexpr const char* kShapeColorPreference = "Annotations/Shape/shape_color";
constexpr geo::Color kUnsetShapeColor{0.5f, 0.6f, 0.9f, 0.2f};
}  // namespace

Symbol2DInfo::Symbol2DInfo() {
  ApplyPreferenceValues();
}

Symbol2DInfo::Symbol2DInfo(const Symbol2DInfo& other) = default;

Symbol2DInfo& Symbol2DInfo::operator=(const Symbol2DInfo& other) = default;

Symbol2DInfo::Symbol2DInfo(Symbol2DInfo&& other) noexcept = default;

Symbol2DInfo& Symbol2DInfo::operator=(Symbol2DInfo&& other) noexcept = default;

Symbol2DInfo::~Symbol2DInfo() = default;

void Symbol2DInfo::ApplyPreferenceValues() {
  util::SmartPtr<oxk::World> world;
  if (!oxk::World::GetWorld(world)) {
    return;
  }
  util::SmartPtr<oxk::Preferences> preferences;
  if (!world->GetPreferences(preferences)) {
    return;
  }
  geo::Color color = kUnsetShapeColor;
  (void)preferences->GetIntUIAsColor(kShapeColorPreference, color);
  lineColor = color;
  fillColor = color;
}

}  // namespace oxannotations
