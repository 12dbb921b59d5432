#include <gtest/gtest.h>

#include "geo/DBox.h"
#include "geo/FBox.h"
#include "geo/FMat44.h"
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

geo::Location Turned(double x, double y, double z, float angle, float scale) {
  geo::Location l;
  l.Set(geo::DPoint3D(x, y, z), geo::Quaternion<float>::FromAxisAngle(0, 0, 1, angle), scale);
  return l;
}

TEST(Location, FourByFourTransformAndMatrixInverses) {
  const geo::Location a = Turned(3, -4, 5, 0.7f, 2.0f);
  geo::DMat44 inverse = a.GetXform();
  ASSERT_TRUE(inverse.Invert());
  EXPECT_TRUE((geo::Location(inverse) * a).IsApproximately(geo::Location::IDENTITY, 1e-5));
  EXPECT_TRUE(geo::Location(a.GetXform()).IsApproximately(a, 1e-6));

  geo::DMat33 m(a.GetMat());
  ASSERT_TRUE(m.Invert());
  const geo::DMat33 product = m * geo::DMat33(a.GetMat());
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(product.m[r][c], r == c ? 1.0 : 0.0, 1e-6);
    }
  }
  geo::DMat33 singular(geo::FMat33::ZERO);
  EXPECT_FALSE(singular.Invert());
  EXPECT_EQ(singular.m[0][0], 0.0);  // left as it was
  geo::DMat44 flat;
  flat.m[2][2] = 0;
  EXPECT_FALSE(flat.Invert());
}

TEST(Location, LinearMapsOnEitherSideAndScaleMatrices) {
  const geo::Location a = Turned(1, 2, 3, 1.5707964f, 1.0f);
  const geo::DMat33 quarter(Turned(0, 0, 0, 1.5707964f, 1.0f).GetMat());
  // On the right the map acts first, so the translation stays; on the left it turns it.
  EXPECT_EQ((a * quarter).GetPos(), a.GetPos());
  const geo::DPoint3D turned = (quarter * a).GetPos();
  EXPECT_NEAR(turned.x, -2, 1e-6);
  EXPECT_NEAR(turned.y, 1, 1e-6);
  EXPECT_NEAR(turned.z, 3, 1e-6);

  const geo::FMat33 scaled =
      (geo::FMat44(geo::FMat33::IDENTITY * 4.0f) * geo::FMat44::Scale(0.25f, 0.5f, 1.0f)).GetMat33();
  EXPECT_FLOAT_EQ(scaled.m[0][0], 1.0f);
  EXPECT_FLOAT_EQ(scaled.m[1][1], 2.0f);
  EXPECT_FLOAT_EQ(scaled.m[2][2], 4.0f);
}

TEST(Location, BoxesTransformCornersAndStayEmpty) {
  geo::FBox box;
  EXPECT_TRUE(box.IsEmpty());
  EXPECT_TRUE(box.Transformed(Turned(5, 5, 5, 0.3f, 1.0f)).IsEmpty());
  box.Enclose(0, 0, 0);
  box.Enclose(2, 1, 1);
  const geo::FBox moved = box.Transformed(Turned(10, 0, 0, 1.5707964f, 1.0f));
  EXPECT_NEAR(moved.min[0], 9, 1e-5);  // y extent turned onto x
  EXPECT_NEAR(moved.max[0], 10, 1e-5);
  EXPECT_NEAR(moved.min[1], 0, 1e-5);
  EXPECT_NEAR(moved.max[1], 2, 1e-5);
  EXPECT_NEAR(moved.GetCenter().x, 9.5, 1e-6);
  EXPECT_NEAR(moved.GetCenter().z, 0.5, 1e-6);

  geo::DBox doubles;
  doubles.Enclose(geo::DPoint3D(-1, -2, -3));
  doubles.Enclose(geo::DPoint3D(1, 2, 3));
  EXPECT_EQ(doubles.Transformed(Turned(1, 1, 1, 0, 2.0f)).max, geo::DPoint3D(3, 5, 7));
  EXPECT_EQ(geo::FBox::FromDBox(doubles).min[2], -3.0f);
  EXPECT_TRUE(geo::FBox::FromDBox(geo::DBox::EMPTY).IsEmpty());
}

TEST(Location, DifferencesWithAnUnsetPointAreBad) {
  EXPECT_TRUE((geo::DPoint3D(1, 2, 3) - geo::DPoint3D::BAD).IsBad());
  EXPECT_TRUE((geo::DPoint3D::BAD - geo::DPoint3D::ORIGIN).IsBad());
  EXPECT_TRUE(geo::DVec3(0, std::numeric_limits<double>::infinity(), 0).IsBad());
  EXPECT_FALSE((geo::DPoint3D(1, 2, 3) - geo::DPoint3D(3, 2, 1)).IsBad());
}

}  // namespace
