// mkicon: the menu's icon at every size the hicolor theme asks for, each
// pixel the area-weighted mean of the emblem texture's pixels it covers.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "art.h"
#include "data/png/png_write.h"

namespace {
constexpr int SIZES[] = {16, 24, 32, 48, 64, 128, 256};

// The emblem's share of source pixel i in output pixel o, along one axis.
float overlap(int o, int i, float step) {
  const float lo = std::max(static_cast<float>(o) * step, static_cast<float>(i));
  const float hi = std::min(static_cast<float>(o + 1) * step, static_cast<float>(i + 1));
  return std::max(0.0f, hi - lo);
}

std::vector<std::uint32_t> shrink(const Picture& p, int size) {
  const float step = static_cast<float>(p.width) / static_cast<float>(size);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size) * size);
  for (int oy = 0; oy < size; oy++)
    for (int ox = 0; ox < size; ox++) {
      Rgb sum;
      float weight = 0;
      const int x0 = static_cast<int>(static_cast<float>(ox) * step);
      const int y0 = static_cast<int>(static_cast<float>(oy) * step);
      const int x1 = std::min(p.width, static_cast<int>(static_cast<float>(ox + 1) * step) + 1);
      const int y1 = std::min(p.height, static_cast<int>(static_cast<float>(oy + 1) * step) + 1);
      for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
          const float w = overlap(ox, x, step) * overlap(oy, y, step);
          sum = sum + rgb_hex(p.pixels[static_cast<std::size_t>(y) * p.width + x]) * w;
          weight += w;
        }
      out[static_cast<std::size_t>(oy) * size + ox] = rgb_word(sum * (1.0f / weight));
    }
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkicon <output folder>\n");
    return 2;
  }
  const Picture emblem = texture_emblem();
  for (const int size : SIZES) {
    const std::string side = std::to_string(size);
    std::string path;
    for (const std::string& part :
         {std::string(argv[1]), "/" + side + "x" + side, std::string("/apps")}) {
      path += part;
      if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "mkicon: cannot make %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
      }
    }
    path += "/qn.png";
    if (!png_write(path.c_str(), shrink(emblem, size), size, size)) {
      std::fprintf(stderr, "mkicon: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
      return 1;
    }
  }
  return 0;
}
