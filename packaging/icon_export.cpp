// Writes the programs' icons for the desktop's icon theme, from the same
// pixel rows the programs draw their windows' icons with, so the two never
// drift apart:
//
//   hicolor/16x16/apps/NAME.png, 32x32   the 16 and 32 pixel images as drawn
//   hicolor/scalable/apps/NAME.svg       the 32 pixel image as squares, one
//                                        path per colour
//   hicolor/48x48/apps/NAME.png, 256x256 that picture rendered: each pixel
//                                        the mean of the area it covers
//
// Run at build time: icon_export OUTPUT_DIRECTORY.
#include <zlib.h>

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::floor, std::ceil, std::lround
#include <cstdint>
#include <cstdio>  // std::fprintf, std::snprintf
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog/resources.h"
#include "prep/tool/app_resources.h"
#include "search/ui/app_resources.h"

namespace {

namespace dlg = platform::dialog;
namespace fs = std::filesystem;

constexpr int kIconId = 128;

struct Image {
  int size = 0;
  std::vector<std::uint32_t> argb;  // rows top to bottom
};

// The area-weighted mean of the source pixels under each target pixel,
// in premultiplied colour so that transparent pixels lend no colour.
Image Render(const Image& source, int size) {
  Image out{size, std::vector<std::uint32_t>(static_cast<size_t>(size) * size)};
  double scale = static_cast<double>(source.size) / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double x0 = x * scale, x1 = (x + 1) * scale, y0 = y * scale, y1 = (y + 1) * scale;
      double sum[4] = {};
      for (int sy = static_cast<int>(std::floor(y0)); sy < static_cast<int>(std::ceil(y1)); ++sy) {
        double wy = std::min(y1, sy + 1.0) - std::max(y0, static_cast<double>(sy));
        for (int sx = static_cast<int>(std::floor(x0)); sx < static_cast<int>(std::ceil(x1)); ++sx) {
          double w = wy * (std::min(x1, sx + 1.0) - std::max(x0, static_cast<double>(sx)));
          std::uint32_t p = source.argb[static_cast<size_t>(sy) * source.size + sx];
          double alpha = (p >> 24) / 255.0;
          sum[0] += w * alpha;
          for (int c = 0; c < 3; ++c) sum[c + 1] += w * alpha * ((p >> (16 - 8 * c)) & 0xFF);
        }
      }
      double area = scale * scale;
      double alpha = sum[0] / area;
      std::uint32_t pixel = static_cast<std::uint32_t>(std::lround(alpha * 255)) << 24;
      for (int c = 0; c < 3 && alpha > 0; ++c)
        pixel |= static_cast<std::uint32_t>(std::min(255L, std::lround(sum[c + 1] / area / alpha))) << (16 - 8 * c);
      out.argb[static_cast<size_t>(y) * size + x] = pixel;
    }
  }
  return out;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
  PutBigEndian(png, static_cast<std::uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  PutBigEndian(png, static_cast<std::uint32_t>(
                        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// An 8-bit RGBA PNG of the image.
std::string Png(const Image& image) {
  std::string raw;
  for (int y = 0; y < image.size; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < image.size; ++x) {
      std::uint32_t p = image.argb[static_cast<size_t>(y) * image.size + x];
      raw += static_cast<char>((p >> 16) & 0xFF);
      raw += static_cast<char>((p >> 8) & 0xFF);
      raw += static_cast<char>(p & 0xFF);
      raw += static_cast<char>(p >> 24);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
            static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION);
  packed.resize(packedSize);
  std::string header;
  PutBigEndian(header, static_cast<std::uint32_t>(image.size));
  PutBigEndian(header, static_cast<std::uint32_t>(image.size));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", "");
  return png;
}

// The picture as squares: per colour one path of its pixels, runs of a row
// joined, so that no seam shows between squares of one colour.
std::string Svg(const Image& image) {
  std::map<std::uint32_t, std::string> paths;
  for (int y = 0; y < image.size; ++y) {
    for (int x = 0; x < image.size;) {
      std::uint32_t p = image.argb[static_cast<size_t>(y) * image.size + x];
      int end = x + 1;
      while (end < image.size && image.argb[static_cast<size_t>(y) * image.size + end] == p) ++end;
      if ((p >> 24) != 0)
        paths[p] += "M" + std::to_string(x) + " " + std::to_string(y) + "h" + std::to_string(end - x) + "v1h-" +
                    std::to_string(end - x) + "z";
      x = end;
    }
  }
  std::string n = std::to_string(image.size);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    n + "\" height=\"" + n + "\" viewBox=\"0 0 " + n + " " + n + "\">\n";
  for (const auto& [p, d] : paths) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(p & 0xFFFFFF));
    svg += std::string("  <path fill=\"") + colour + "\"";
    if ((p >> 24) != 0xFF) svg += " fill-opacity=\"" + std::to_string((p >> 24) / 255.0) + "\"";
    svg += " d=\"" + d + "\"/>\n";
  }
  return svg + "</svg>\n";
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (!out) std::fprintf(stderr, "icon_export: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

// Writes every size of the icon registered now under 128.
bool Export(const fs::path& root, const std::string& name) {
  const dlg::IconResource* icon = dlg::FindIcon(kIconId);
  std::map<int, Image> drawn;
  for (const dlg::IconImage& image : icon ? icon->images : std::vector<dlg::IconImage>{})
    drawn[image.size] = {image.size, image.argb};
  if (!drawn.contains(16) || !drawn.contains(32)) {
    std::fprintf(stderr, "icon_export: %s has no 16 and 32 pixel images\n", name.c_str());
    return false;
  }
  auto png = [&](int size, const Image& image) {
    std::string folder = std::to_string(size) + "x" + std::to_string(size);
    return WriteFile(root / folder / "apps" / (name + ".png"), Png(image));
  };
  return png(16, drawn[16]) && png(32, drawn[32]) && png(48, Render(drawn[32], 48)) &&
         png(256, Render(drawn[32], 256)) && WriteFile(root / "scalable" / "apps" / (name + ".svg"), Svg(drawn[32]));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: icon_export OUTPUT_DIRECTORY\n");
    return 2;
  }
  fs::path root = fs::path(argv[1]) / "hicolor";
  dlg::RegisterIcon(search::ui::AppIcon());
  if (!Export(root, "tolvane")) return 1;
  prep::tool::RegisterPrepResources();
  return Export(root, "kestrum") ? 0 : 1;
}
