// The loader's Wavefront OBJ reader. It keeps what a shape needs, vertex positions and
// polygon faces (triangulated as fans), and skips every other statement (normals,
// texture coordinates, lines, points, groups, smoothing, materials, free-form data), as
// real files hold them all. A file fails only when a vertex or face it needs is
// malformed, or when it holds no vertex at all.
#include <charconv>
#include <new>
#include <string_view>
#include <vector>

#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace oxloader {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The line's tokens into tokens, which keeps its capacity from line to line.
void Tokens(std::string_view line, std::vector<std::string_view>& tokens) {
  tokens.clear();
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) {
      ++i;
    }
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) {
      ++i;
    }
    if (i > start) {
      tokens.push_back(line.substr(start, i - start));
    }
  }
}

// A coordinate as C's strtod reads it: an optional sign (a leading '+' included), digits
// with an optional point ("2." and ".5" too) and exponent ("2.e1"). Writers add junk
// after the number now and then ("3.1+e2"); like other readers, the number before it
// counts. False when no number starts the token.
bool ParseCoordinate(std::string_view token, float& value) {
  if (!token.empty() && token[0] == '+') {
    token.remove_prefix(1);
    if (!token.empty() && token[0] == '-') {
      return false;
    }
  }
  const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  return ec == std::errc() && ptr != token.data();
}

// One face vertex reference ("7", "7/2", "7//3", "-1": relative to the vertices read so
// far); the 0-based index, or -1 when it is not a valid reference.
long FaceIndex(std::string_view token, size_t vertexCount) {
  token = token.substr(0, token.find('/'));
  if (!token.empty() && token[0] == '+') {
    token.remove_prefix(1);
  }
  long index = 0;
  const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), index);
  if (ec != std::errc() || ptr != token.data() + token.size() || index == 0) {
    return -1;
  }
  index = index < 0 ? index + static_cast<long>(vertexCount) : index - 1;
  return index >= 0 && static_cast<size_t>(index) < vertexCount ? index : -1;
}

}  // namespace

int Loader::ReadObj(const std::string& path, oxk::Shape& shape) {
  std::string text;
  if (!util::FileSystem::ReadFile(path, text)) {
    shape.SetDataStatus(oxk::Shape::kDataFailed);
    return kMissing;
  }
  return DecodeObj(text, shape);
}

int Loader::DecodeObj(std::string_view text, oxk::Shape& shape) {
  auto fail = [&shape] {
    shape.SetDataStatus(oxk::Shape::kDataFailed);
    return kMalformed;
  };
  std::vector<float> vertices;
  std::vector<uint32_t> triangles;
  std::vector<uint32_t> polygon;
  std::vector<std::string_view> tokens;
  try {
    size_t lineStart = 0;
    while (lineStart < text.size()) {
      size_t lineEnd = text.find('\n', lineStart);
      if (lineEnd == std::string::npos) {
        lineEnd = text.size();
      }
      Tokens(text.substr(lineStart, lineEnd - lineStart), tokens);
      lineStart = lineEnd + 1;
      if (tokens.empty()) {
        continue;
      }
      if (tokens[0] == "v") {
        // x y z, then an optional w or a vertex colour, which a shape does not need.
        if (tokens.size() < 4) {
          return fail();
        }
        float xyz[3];
        for (int i = 0; i < 3; ++i) {
          if (!ParseCoordinate(tokens[i + 1], xyz[i])) {
            return fail();
          }
        }
        vertices.insert(vertices.end(), xyz, xyz + 3);
      } else if (tokens[0] == "f") {
        const size_t vertexCount = vertices.size() / 3;
        polygon.clear();
        for (size_t i = 1; i < tokens.size(); ++i) {
          const long index = FaceIndex(tokens[i], vertexCount);
          if (index < 0) {
            return fail();
          }
          polygon.push_back(static_cast<uint32_t>(index));
        }
        // Fewer than three corners is a point or a line written as a face: no surface.
        for (size_t i = 1; i + 1 < polygon.size(); ++i) {
          triangles.insert(triangles.end(), {polygon[0], polygon[i], polygon[i + 1]});
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return fail();
  }
  if (vertices.empty()) {
    return fail();  // not an OBJ file, or an empty one
  }
  util::SmartPtr<oxg::Shape> data(new (std::nothrow) oxg::Shape(std::move(vertices), std::move(triangles)));
  if (!data) {
    return fail();
  }
  shape.SetShapeData(data);
  return kOk;
}

}  // namespace oxloader
