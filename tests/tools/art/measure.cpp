#include "measure.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "scratch.h"

std::string ocr_mask(const Mask& m) {
  // Tesseract reads dark text on light paper best; twice the size with a margin.
  constexpr int scale = 2, margin = 20;
  const int w = m.width * scale + 2 * margin, h = m.height * scale + 2 * margin;
  std::string path = scratch_base() + "/qn_art_ocrXXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) return {};
  std::string pgm = "P5\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      const int sx = (x - margin) / scale, sy = (y - margin) / scale;
      const bool lit = x >= margin && y >= margin && sx < m.width && sy < m.height &&
                       m.pixels[static_cast<std::size_t>(sy) * m.width + sx] > 10;
      pgm.push_back(lit ? '\0' : '\xff');
    }
  const bool written = write(fd, pgm.data(), pgm.size()) == static_cast<ssize_t>(pgm.size());
  close(fd);
  std::string text;
  if (written) {
    const std::string cmd = "timeout -k 5 600 tesseract " + path + " stdout --psm 6 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    char buf[256];
    while (pipe && std::fgets(buf, sizeof buf, pipe.get())) text += buf;
  }
  unlink(path.c_str());
  return text;
}

namespace {
std::string normalise(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
    } else {
      out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}
}  // namespace

double ocr_accuracy(std::string_view want, std::string_view got) {
  const std::string a = normalise(want), b = normalise(got);
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); j++) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); i++) {
    std::size_t diag = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); j++) {
      const std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diag = up;
    }
  }
  return a.empty() ? 0 : 1.0 - static_cast<double>(row[b.size()]) / static_cast<double>(a.size());
}

namespace {
int step(std::uint32_t p, std::uint32_t q) {
  int s = 0;
  for (int sh : {0, 8, 16})
    s += std::abs(static_cast<int>((p >> sh) & 255) - static_cast<int>((q >> sh) & 255));
  return s;
}
}  // namespace

Steps column_steps(const Picture& p) {
  Steps s;
  for (int y = 0; y < p.height; y++) {
    const std::uint32_t* r = &p.pixels[static_cast<std::size_t>(y) * p.width];
    for (int x = 1; x < p.width; x++) s.inside += step(r[x - 1], r[x]);
    s.wrap += step(r[p.width - 1], r[0]);
  }
  s.inside /= static_cast<double>(p.height) * (p.width - 1);
  s.wrap /= static_cast<double>(p.height);
  return s;
}

Steps row_steps(const Picture& p) {
  Picture t = picture_make(p.height, p.width);
  for (int y = 0; y < p.height; y++)
    for (int x = 0; x < p.width; x++)
      t.pixels[static_cast<std::size_t>(x) * p.height + y] =
          p.pixels[static_cast<std::size_t>(y) * p.width + x];
  return column_steps(t);
}

Picture mask_as_picture(const Mask& m) {
  Picture p = picture_make(m.width, m.height);
  for (std::size_t i = 0; i < m.pixels.size(); i++) p.pixels[i] = m.pixels[i] * 0x010101u;
  return p;
}

std::size_t distinct_colours(const Picture& p) {
  std::vector<std::uint32_t> v = p.pixels;
  std::sort(v.begin(), v.end());
  return static_cast<std::size_t>(std::unique(v.begin(), v.end()) - v.begin());
}

double commonest_share(const Picture& p) {
  std::unordered_map<std::uint32_t, std::size_t> n;
  std::size_t most = 0;
  for (std::uint32_t w : p.pixels) most = std::max(most, ++n[w]);
  return p.pixels.empty() ? 0 : static_cast<double>(most) / static_cast<double>(p.pixels.size());
}
