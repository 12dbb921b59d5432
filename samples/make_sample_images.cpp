// Draws the sample library's pictures (gallery and dialog thumbnails, stamp images) as
// PNG files: simple flat glyphs in unit coordinates, rendered at any size.
//   make_sample_images LIBRARY_FOLDER
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgba {
  unsigned char r, g, b, a;
};

// A glyph answers "which colour covers this point", x and y in [0, 1], y downwards.
using Glyph = std::function<bool(double x, double y, Rgba& colour)>;

const Rgba kBlack{20, 20, 20, 255};
const Rgba kWhite{250, 250, 250, 255};
const Rgba kYellow{250, 200, 30, 255};
const Rgba kRed{210, 40, 30, 255};
const Rgba kBlue{30, 90, 200, 255};
const Rgba kGrey{120, 125, 135, 255};
const Rgba kGreen{40, 160, 70, 255};

double Cross(double ax, double ay, double bx, double by, double px, double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

bool InTriangle(double x, double y, double ax, double ay, double bx, double by, double cx, double cy) {
  const double d1 = Cross(ax, ay, bx, by, x, y), d2 = Cross(bx, by, cx, cy, x, y), d3 = Cross(cx, cy, ax, ay, x, y);
  const bool negative = d1 < 0 || d2 < 0 || d3<0, positive = d1> 0 || d2 > 0 || d3 > 0;
  return !(negative && positive);
}

bool InRect(double x, double y, double x0, double y0, double x1, double y1) {
  return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

bool InCircle(double x, double y, double cx, double cy, double r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool NearSegment(double x, double y, double ax, double ay, double bx, double by, double width) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  const double px = ax + t * dx - x, py = ay + t * dy - y;
  return px * px + py * py <= width * width / 4;
}

bool WarningTriangle(double x, double y, Rgba& c) {
  if (!InTriangle(x, y, 0.5, 0.06, 0.95, 0.9, 0.05, 0.9)) {
    return false;
  }
  c = InTriangle(x, y, 0.5, 0.18, 0.85, 0.84, 0.15, 0.84) ? kYellow : kBlack;
  return true;
}

const Glyph kWarning = [](double x, double y, Rgba& c) {
  if (!WarningTriangle(x, y, c)) {
    return false;
  }
  if (InRect(x, y, 0.46, 0.36, 0.54, 0.64) || InCircle(x, y, 0.5, 0.73, 0.045)) {
    c = kBlack;
  }
  return true;
};

const Glyph kHotSurface = [](double x, double y, Rgba& c) {
  if (!WarningTriangle(x, y, c)) {
    return false;
  }
  for (double column : {0.38, 0.5, 0.62}) {
    const double wave = column + 0.03 * std::sin((y - 0.4) * 25.0);
    if (y > 0.4 && y < 0.72 && std::fabs(x - wave) < 0.025) {
      c = kRed;
    }
  }
  if (InRect(x, y, 0.3, 0.75, 0.7, 0.79)) {
    c = kBlack;
  }
  return true;
};

const Glyph kGloves = [](double x, double y, Rgba& c) {
  if (!InCircle(x, y, 0.5, 0.5, 0.46)) {
    return false;
  }
  c = kBlue;
  const bool palm = InRect(x, y, 0.33, 0.45, 0.67, 0.8);
  bool finger = false;
  for (int i = 0; i < 4; ++i) {
    const double left = 0.33 + i * 0.0875;
    finger = finger || InRect(x, y, left + 0.01, 0.2 + (i == 0 || i == 3 ? 0.06 : 0.0), left + 0.075, 0.5);
  }
  const bool thumb = NearSegment(x, y, 0.34, 0.62, 0.2, 0.45, 0.09);
  if (palm || finger || thumb) {
    c = kWhite;
  }
  return true;
};

const Glyph kTorqueWrench = [](double x, double y, Rgba& c) {
  if (InCircle(x, y, 0.75, 0.25, 0.17) && !InCircle(x, y, 0.75, 0.25, 0.08)) {
    c = kGrey;
    return true;
  }
  if (NearSegment(x, y, 0.15, 0.85, 0.66, 0.34, 0.12)) {
    c = NearSegment(x, y, 0.15, 0.85, 0.35, 0.65, 0.14) ? kRed : kGrey;
    return true;
  }
  return false;
};

const Glyph kScrewdriver = [](double x, double y, Rgba& c) {
  if (NearSegment(x, y, 0.12, 0.88, 0.4, 0.6, 0.2)) {
    c = kRed;
    return true;
  }
  if (NearSegment(x, y, 0.4, 0.6, 0.88, 0.12, 0.06)) {
    c = kGrey;
    return true;
  }
  return false;
};

const Glyph kArrow = [](double x, double y, Rgba& c) {
  c = kBlack;
  return InRect(x, y, 0.1, 0.44, 0.6, 0.56) || InTriangle(x, y, 0.55, 0.2, 0.92, 0.5, 0.55, 0.8);
};

const Glyph kMarker = [](double x, double y, Rgba& c) {
  if (InRect(x, y, 0.22, 0.1, 0.28, 0.92)) {
    c = kBlack;
    return true;
  }
  c = kGreen;
  return InTriangle(x, y, 0.28, 0.12, 0.85, 0.3, 0.28, 0.5);
};

const Glyph kNote = [](double x, double y, Rgba& c) {
  if (!InRect(x, y, 0.12, 0.1, 0.88, 0.9)) {
    return false;
  }
  c = kYellow;
  for (double line : {0.3, 0.45, 0.6, 0.75}) {
    if (InRect(x, y, 0.22, line - 0.02, 0.78, line + 0.02)) {
      c = kBlack;
    }
  }
  return true;
};

// Renders with 4 by 4 samples per pixel, so edges are smooth at 64 pixels too.
std::vector<unsigned char> Render(const Glyph& glyph, int size) {
  std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 4, 0);
  constexpr int kSamples = 4;
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      double sum[4] = {0, 0, 0, 0};
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          Rgba c{0, 0, 0, 0};
          const double x = (px + (sx + 0.5) / kSamples) / size, y = (py + (sy + 0.5) / kSamples) / size;
          if (glyph(x, y, c)) {
            sum[0] += c.r * c.a / 255.0, sum[1] += c.g * c.a / 255.0, sum[2] += c.b * c.a / 255.0, sum[3] += c.a;
          }
        }
      }
      unsigned char* out = &pixels[(static_cast<size_t>(py) * size + px) * 4];
      const double alpha = sum[3] / (kSamples * kSamples);
      for (int i = 0; i < 3; ++i) {
        out[i] = static_cast<unsigned char>(alpha > 0 ? std::lround(sum[i] * 255.0 / sum[3]) : 0);
      }
      out[3] = static_cast<unsigned char>(std::lround(alpha));
    }
  }
  return pixels;
}

bool WritePng(const std::string& path, const std::vector<unsigned char>& pixels, int size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int row = 0; row < size; ++row) {
    png_write_row(png, &pixels[static_cast<size_t>(row) * size * 4]);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

struct Picture {
  const char* folder;  // below the library folder
  const char* name;
  const Glyph* glyph;
  bool stamp;  // also written full size as the image a 2D symbol shows
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_images LIBRARY_FOLDER\n");
    return 2;
  }
  const std::string library = argv[1];
  const Picture pictures[] = {
      {"standard/2D", "torque_wrench", &kTorqueWrench, false},
      {"standard/2D", "screwdriver", &kScrewdriver, false},
      {"standard/2D", "arrow", &kArrow, false},
      {"standard/2D", "warning", &kWarning, true},
      {"standard/2D", "hot_surface", &kHotSurface, true},
      {"standard/2D", "gloves", &kGloves, true},
      {"2D", "marker", &kMarker, false},
      {"2D", "note", &kNote, true},
  };
  for (const Picture& picture : pictures) {
    const std::string stem = library + "/" + picture.folder + "/" + picture.name;
    bool ok = WritePng(stem + "_64x64.png", Render(*picture.glyph, 64), 64) &&
              WritePng(stem + "_192x192.png", Render(*picture.glyph, 192), 192);
    if (picture.stamp) {
      ok = ok && WritePng(stem + ".png", Render(*picture.glyph, 256), 256);
    }
    if (!ok) {
      std::fprintf(stderr, "make_sample_images: cannot write %s\n", stem.c_str());
      return 1;
    }
  }
  return 0;
}
