#include "oxloader/Loader.h"

#include <png.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

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

util::SmartPtr<Loader> Loader::GetLoader() {
  // Never destroyed: its thread may be completing events while the process exits.
  static util::SmartPtr<Loader>* loader = new util::SmartPtr<Loader>(new Loader());
  return *loader;
}

Loader::Loader() : m_thread([this] { Run(); }) {}

Loader::~Loader() {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) {
    m_thread.join();
  }
}

void Loader::Post(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_jobs.push_back(std::move(job));
  }
  m_wake.notify_one();
}

void Loader::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait(lock, [&] { return m_stop || !m_jobs.empty(); });
      if (m_stop && m_jobs.empty()) {
        return;
      }
      job = std::move(m_jobs.front());
      m_jobs.pop_front();
      m_busy = true;
    }
    try {
      job();
    } catch (...) {
      // A completion that throws must not take the loader down with it.
    }
    {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_busy = false;
      if (m_jobs.empty()) {
        m_idle.notify_all();
      }
    }
  }
}

bool Loader::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_idle.wait_for(lock, timeout, [&] { return m_jobs.empty() && !m_busy; });
}

void Loader::LoadShape(const util::SmartPtr<oxk::Shape>& shape, int32_t /*flags*/,
                       const util::SmartPtr<oxk::AsyncEvent>& event, const util::SmartPtr<oxk::Anchor>& /*anchor*/) {
  Post([shape, event] {
    int status = kNothingToLoad;
    if (shape) {
      status = shape->HasGeometry() ? kOk : ReadObj(oxk::Anchor::FilePathFromURL(shape->GetSourceURL().str()), *shape);
    }
    if (event) {
      event->Complete(status);
    }
  });
}

void Loader::LoadImage(const util::SmartPtr<oxk::Image>& image, int32_t /*flags*/,
                       const util::SmartPtr<oxk::AsyncEvent>& event) {
  Post([image, event] {
    int status = kNothingToLoad;
    if (image) {
      status = ReadPng(oxk::Anchor::FilePathFromURL(image->GetURL().str()), *image);
    }
    if (event) {
      event->Complete(status);
    }
  });
}

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
      box.Add(xyz[0], xyz[1], xyz[2]);
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

int Loader::ReadPng(const std::string& path, oxk::Image& image) {
  if (!util::FileSystem::FileExists(path)) {
    return kMissing;
  }
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    return kMalformed;
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return kMalformed;
  }
  image.SetImageData(png.width, png.height, std::move(pixels));
  return kOk;
}

}  // namespace oxloader
