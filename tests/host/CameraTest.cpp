// Cameras: the world-to-screen matrix and the rays back through screen points.
#include <gtest/gtest.h>

#include <cmath>

#include "geo/Camera3D.h"
#include "geo/DRay.h"

namespace {

// Looking down -Z from (0, 0, 10), turned a quarter about the view axis: the screen's
// right is the world's +Y.
geo::Location Turned() {
  geo::Location location;
  location.Set(geo::DPoint3D(0, 0, 10), geo::Quaternion<float>::FromAxisAngle(0, 0, 1, static_cast<float>(M_PI / 2)),
               1.0f);
  return location;
}

void ExpectNear(const geo::DVec3& a, const geo::DVec3& b) {
  EXPECT_NEAR(a.x, b.x, 1e-6);
  EXPECT_NEAR(a.y, b.y, 1e-6);
  EXPECT_NEAR(a.z, b.z, 1e-6);
}

TEST(Camera, OrthographicScreenPointsAndRaysMatch) {
  geo::Camera3D camera = geo::Camera3D::Orthographic(Turned(), 20);
  camera.SetViewport(400, 300);
  ExpectNear(camera.GetU(), geo::DVec3(0, 1, 0));
  ExpectNear(camera.GetV(), geo::DVec3(-1, 0, 0));
  double sx = 0, sy = 0;
  ASSERT_TRUE(camera.WorldToScreen(geo::DPoint3D(0, 0, 0), sx, sy));
  EXPECT_NEAR(sx, 200, 1e-9);
  EXPECT_NEAR(sy, 150, 1e-9);
  // 20 units over 400 pixels: world +Y by 5 is 100 pixels right; world +X is down.
  ASSERT_TRUE(camera.WorldToScreen(geo::DPoint3D(2, 5, -3), sx, sy));
  EXPECT_NEAR(sx, 300, 1e-4);
  EXPECT_NEAR(sy, 190, 1e-4);
  const geo::DRay ray = camera.ScreenXYToNormalizedRay(300, 190);
  ExpectNear(ray.GetDirection(), geo::DVec3(0, 0, -1));
  double t = 0;
  ASSERT_TRUE(ray.RaycastPlane(geo::DPoint3D(0, 0, -3), geo::DVec3(0, 0, 1), t));
  ExpectNear(ray.Lirp(t) - geo::DPoint3D(), geo::DVec3(2, 5, -3));
}

TEST(Camera, PerspectiveRaysPassThroughTheirScreenPoints) {
  geo::Camera3D camera = geo::Camera3D::Perspective(Turned(), M_PI / 2);
  camera.SetViewport(640, 480);
  const geo::DPoint3D point(1.5, -2, 1);
  double sx = 0, sy = 0;
  ASSERT_TRUE(camera.WorldToScreen(point, sx, sy));
  const geo::DRay ray = camera.ScreenXYToNormalizedRay(sx, sy);
  EXPECT_NEAR(ray.GetDirection().Length(), 1.0, 1e-12);
  double t = 0;
  ASSERT_TRUE(ray.RaycastPlane(point, geo::DVec3(0, 0, 1), t));
  ExpectNear(ray.Lirp(t) - geo::DPoint3D(), point - geo::DPoint3D());
  // Half the viewport's width spans the half field of view at unit depth.
  ASSERT_TRUE(camera.WorldToScreen(geo::DPoint3D(0, 9, 1), sx, sy));
  EXPECT_NEAR(sx, 640, 1e-6);
  EXPECT_FALSE(camera.WorldToScreen(geo::DPoint3D(0, 0, 11), sx, sy));  // behind the eye
}

TEST(Ray, MissesParallelPlanesAndPlanesBehindIt) {
  const geo::DRay ray(geo::DPoint3D(0, 0, 0), geo::DVec3(1, 0, 0));
  double t = -1;
  EXPECT_FALSE(ray.RaycastPlane(geo::DPoint3D(0, 5, 0), geo::DVec3(0, 1, 0), t));
  EXPECT_FALSE(ray.RaycastPlane(geo::DPoint3D(-2, 0, 0), geo::DVec3(1, 0, 0), t));
  EXPECT_TRUE(ray.RaycastPlane(geo::DPoint3D(4, 0, 0), geo::DVec3(-1, 0, 0), t));
  EXPECT_DOUBLE_EQ(t, 4);
}

}  // namespace
