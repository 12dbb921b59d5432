#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "oxk/Shape.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"

namespace {

using oxloader::Loader;

struct Read {
  int status;
  util::SmartPtr<oxk::Shape> shape;
};

Read ReadFile(const std::string& path) {
  util::SmartPtr<oxk::Shape> shape(new oxk::Shape(util::Symbol(path)));
  const int status = Loader::ReadObj(path, *shape);
  return {status, shape};
}

TEST(ObjReader, TriangulatesPolygonsAndBoundsOnlyWhatFacesUse) {
  testsupport::TempFolder folder;
  const Read read = ReadFile(folder.Write("mixed.obj",
                                          "mtllib parts.mtl\no Bracket\ng side\ns 1\nusemtl steel\n"
                                          "v 0 0 0\nv +2. 0 0\nv 2 1.e0 0\nv 0 1 -3.0E0 1.0\n"
                                          "v 100 100 100 0.5 0.5 0.5\n"  // used by a line only
                                          "vt 0 1\nvn 0 0 1\nvp 0.5\n"
                                          "f 1/1/1 2/1/1 -2/1/1 -3//1\n"
                                          "l 1 5\np 5\nf 2 3\nf\n"
                                          "cstype bezier\nend\n"));
  ASSERT_EQ(read.status, Loader::kOk);
  EXPECT_EQ(read.shape->GetTriangleCount(), 2u);  // the quad; the two-corner face is a line
  const geo::FBox box = read.shape->GetModelBox();
  EXPECT_FLOAT_EQ(box.max[0], 2.0f);
  EXPECT_FLOAT_EQ(box.max[2], 0.0f);  // vertex 5 belongs to a line and a point only
  EXPECT_FLOAT_EQ(box.min[2], -3.0f);

  const Read lines = ReadFile(folder.Write("wire.obj", "v 0 0 0\nv 1 1 1\nl 1 2\n"));
  ASSERT_EQ(lines.status, Loader::kOk);  // loads, with nothing to bound
  EXPECT_TRUE(lines.shape->HasGeometry());
  EXPECT_TRUE(lines.shape->GetModelBox().IsEmpty());

  EXPECT_EQ(ReadFile(folder.Write("bad.obj", "v 0 0 0\nf 1 2 3\n")).status, Loader::kMalformed);
  EXPECT_EQ(ReadFile(folder.Write("zero.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n")).status, Loader::kMalformed);
  EXPECT_EQ(ReadFile(folder.Write("word.obj", "v 0 zero 0\n")).status, Loader::kMalformed);
}

// Runs a command and returns what it printed.
std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return text;
  }
  std::array<char, 4096> buffer;
  size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    text.append(buffer.data(), got);
  }
  ::pclose(pipe);
  return text;
}

// A peer's test models, checked against what that peer's own tool reports for them:
// every model it reads must load, and where it has polygons, with the same box.
TEST(ObjReader, ReadsThePeersTestModelsWithTheBoxesItReports) {
  const std::filesystem::path models("/usr/share/assimp/models");
  if (!std::filesystem::is_directory(models / "OBJ") || !std::filesystem::exists("/usr/bin/assimp")) {
    GTEST_SKIP() << "Debian's assimp-testmodels and assimp-utils are not installed";
  }
  const std::regex point(R"(\(([-0-9.e+]+) ([-0-9.e+]+) ([-0-9.e+]+)\))");
  int checked = 0;
  for (const auto* sub : {"OBJ", "invalid"}) {
    for (const auto& entry : std::filesystem::directory_iterator(models / sub)) {
      if (entry.path().extension() != ".obj") {
        continue;
      }
      const std::string path = entry.path().string();
      const std::string info = Output("/usr/bin/assimp info '" + path + "' 2>&1");
      if (info.find("Minimum point") == std::string::npos) {
        continue;  // the peer refuses it too
      }
      ++checked;
      const Read read = ReadFile(path);
      ASSERT_EQ(read.status, Loader::kOk) << path;
      if (info.find("triangles") == std::string::npos) {
        continue;  // lines or points only: no surface to bound
      }
      std::smatch low;
      std::smatch high;
      const size_t minAt = info.find("Minimum point");
      const size_t maxAt = info.find("Maximum point");
      const std::string minLine = info.substr(minAt, info.find('\n', minAt) - minAt);
      const std::string maxLine = info.substr(maxAt, info.find('\n', maxAt) - maxAt);
      ASSERT_TRUE(std::regex_search(minLine, low, point) && std::regex_search(maxLine, high, point)) << info;
      const geo::FBox box = read.shape->GetModelBox();
      for (int axis = 0; axis < 3; ++axis) {
        const double expectedMin = std::stod(low[axis + 1]);
        const double expectedMax = std::stod(high[axis + 1]);
        const double tolerance = 1e-5 * std::max(1.0, std::max(std::fabs(expectedMin), std::fabs(expectedMax)));
        EXPECT_NEAR(box.min[axis], expectedMin, tolerance) << path << " axis " << axis;
        EXPECT_NEAR(box.max[axis], expectedMax, tolerance) << path << " axis " << axis;
      }
    }
  }
  EXPECT_GE(checked, 20);
}

}  // namespace
