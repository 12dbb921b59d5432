// The sample pump's shape files: what the program in samples/ writes, closed and wound
// outwards, so that the demo's page shows real outlines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "geo/DVec3.h"
#include "oxk/Shape.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"
#include "support/TextFiles.h"

namespace {

namespace fs = std::filesystem;

TEST(SampleModels, AreWhatTheirProgramWritesClosedAndWoundOutwards) {
  testsupport::TempFolder temp;
  const std::string program = SYMBOLS_BINARY_DIR "/samples/make_sample_models";
  ASSERT_EQ(std::system((program + " " + temp.Path()).c_str()), 0);
  const fs::path kept = SYMBOLS_SOURCE_DIR "/samples/models/pump";
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(temp.Path())) {
    const std::string name = entry.path().filename().string();
    ++files;
    EXPECT_EQ(testsupport::Slurp(entry.path()), testsupport::Slurp(kept / name))
        << name << " differs from what make_sample_models writes: run it into samples/models/pump";

    const util::SmartPtr<oxk::Shape> shape(new oxk::Shape());
    ASSERT_EQ(oxloader::Loader::ReadObj(entry.path().string(), *shape), oxloader::Loader::kOk) << name;
    const auto& v = shape->GetShapeData()->GetVertices();
    const auto& t = shape->GetShapeData()->GetTriangles();
    // Every directed edge once, and its reverse once: closed, and wound one way.
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    double volume = 0;
    for (size_t i = 0; i < t.size(); i += 3) {
      for (int k = 0; k < 3; ++k) {
        ++edges[{t[i + k], t[i + (k + 1) % 3]}];
      }
      auto at = [&v](uint32_t index) { return geo::DVec3(v[3 * index], v[3 * index + 1], v[3 * index + 2]); };
      volume += geo::Dot(at(t[i]), geo::Cross(at(t[i + 1]), at(t[i + 2])));
    }
    for (const auto& [edge, count] : edges) {
      EXPECT_EQ(count, 1) << name;
      EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << name << ": an open edge";
    }
    EXPECT_GT(volume, 0) << name << ": wound inwards";
  }
  EXPECT_EQ(files, 7u);
}

}  // namespace
