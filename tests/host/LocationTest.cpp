#include <gtest/gtest.h>

#include "geo/Location.h"

namespace {

TEST(Location, SetThenGetGivesBackPositionOrientationAndScale) {
  const auto q = geo::Quaternion<float>::FromAxisAngle(0.6f, 0.0f, 0.8f, 1.1f);
  geo::Location location;
  location.Set(geo::DPoint3D(1, 2, 3), q, 2.5f);
  geo::DPoint3D p;
  geo::Quaternion<float> back;
  float scale = 0;
  location.Get(p, back, scale);
  EXPECT_EQ(p, geo::DPoint3D(1, 2, 3));
  EXPECT_NEAR(scale, 2.5f, 1e-5f);
  EXPECT_NEAR(back.x, q.x, 1e-5f);
  EXPECT_NEAR(back.y, q.y, 1e-5f);
  EXPECT_NEAR(back.z, q.z, 1e-5f);
  EXPECT_NEAR(back.w, q.w, 1e-5f);
}

TEST(Location, CompositionAndInverse) {
  geo::Location a;
  a.Set(geo::DPoint3D(10, 0, 0), geo::Quaternion<float>::FromAxisAngle(0, 0, 1, 1.5707964f), 1.0f);
  geo::Location b;
  b.SetPos(geo::DPoint3D(1, 0, 0));
  const geo::DPoint3D moved = (a * b).Transform(geo::DPoint3D::ORIGIN);
  EXPECT_NEAR(moved.x, 10, 1e-6);
  EXPECT_NEAR(moved.y, 1, 1e-6);
  EXPECT_TRUE((a * a.Inverse()).IsApproximately(geo::Location::IDENTITY));
  EXPECT_EQ(geo::Location(), geo::Location::IDENTITY);
  EXPECT_TRUE(geo::DPoint3D::BAD.IsBad());
  EXPECT_FALSE(geo::DPoint3D::ORIGIN.IsBad());
}

}  // namespace
