// A view of a shape scene through a camera. The camera may change at any time (the user
// orbits, pans and zooms), so readers take a copy.
#pragma once

#include <mutex>

#include "orrinsymbols/geo/Camera3D.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/View.h"

namespace oxk {

class ShapeView : public View {
 public:
  ShapeView() = default;
  explicit ShapeView(const geo::Camera3D& camera) : m_camera(camera) {}

  [[nodiscard]] geo::Camera3D GetCamera() const;
  void SetCamera(const geo::Camera3D& camera);
  // Where the camera stands now and how it is turned. False when the view has no camera
  // placement to give.
  virtual bool GetCurrentCameraLocation(geo::Location& out) const;

 protected:
  ~ShapeView() override = default;

 private:
  mutable std::mutex m_mutex;
  geo::Camera3D m_camera;
};

}  // namespace oxk
