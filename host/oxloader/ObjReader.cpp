// The loader's Wavefront OBJ reader.
#include <charconv>
#include <string_view>
#include <vector>

#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace oxloader {
namespace {

// Parses one face vertex reference ("7", "7/2", "7//3", "-1"); 0-based index or -1.
long FaceIndex(std::string_view token, size_t vertexCount) {
  const size_t slash = token.find('/');
  token = token.substr(0, slash);
  long index = 0;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), index);
  if (ec != std::errc() || ptr != token.data() + token.size() || index == 0) {
    return -1;
  }
  if (index < 0) {
    index += static_cast<long>(vertexCount);
  } else {
    index -= 1;
  }
  return index >= 0 && static_cast<size_t>(index) < vertexCount ? index : -1;
}

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
      ++i;
    }
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
      ++i;
    }
    if (i > start) {
      tokens.push_back(line.substr(start, i - start));
    }
  }
  return tokens;
}

}  // namespace

int Loader::ReadObj(const std::string& path, oxk::Shape& shape) {
  std::string text;
  if (!util::FileSystem::ReadFile(path, text)) {
    shape.SetDataStatus(oxk::Shape::kDataFailed);
    return kMissing;
  }
  std::vector<float> vertices;
  std::vector<uint32_t> triangles;
  geo::FBox box;
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) {
      lineEnd = text.size();
    }
    const std::vector<std::string_view> tokens = Tokens(std::string_view(text).substr(lineStart, lineEnd - lineStart));
    lineStart = lineEnd + 1;
    if (tokens.empty() || tokens[0][0] == '#') {
      continue;
    }
    if (tokens[0] == "v") {
      if (tokens.size() < 4) {
        shape.SetDataStatus(oxk::Shape::kDataFailed);
        return kMalformed;
      }
      float xyz[3];
      for (int i = 0; i < 3; ++i) {
        auto [ptr, ec] = std::from_chars(tokens[i + 1].data(), tokens[i + 1].data() + tokens[i + 1].size(), xyz[i]);
        if (ec != std::errc() || ptr != tokens[i + 1].data() + tokens[i + 1].size()) {
          shape.SetDataStatus(oxk::Shape::kDataFailed);
          return kMalformed;
        }
      }
      vertices.insert(vertices.end(), xyz, xyz + 3);
      box.Enclose(xyz[0], xyz[1], xyz[2]);
    } else if (tokens[0] == "f") {
      const size_t vertexCount = vertices.size() / 3;
      std::vector<uint32_t> polygon;
      for (size_t i = 1; i < tokens.size(); ++i) {
        const long index = FaceIndex(tokens[i], vertexCount);
        if (index < 0) {
          shape.SetDataStatus(oxk::Shape::kDataFailed);
          return kMalformed;
        }
        polygon.push_back(static_cast<uint32_t>(index));
      }
      if (polygon.size() < 3) {
        shape.SetDataStatus(oxk::Shape::kDataFailed);
        return kMalformed;
      }
      for (size_t i = 1; i + 1 < polygon.size(); ++i) {
        triangles.insert(triangles.end(), {polygon[0], polygon[i], polygon[i + 1]});
      }
    }
    // Normals, texture coordinates, groups and materials are not needed for symbols.
  }
  if (triangles.empty()) {
    shape.SetDataStatus(oxk::Shape::kDataFailed);
    return kMalformed;
  }
  shape.SetGeometry(std::move(vertices), std::move(triangles), box);
  return kOk;
}

}  // namespace oxloader
