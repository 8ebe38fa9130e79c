#include "font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>

namespace {
FT_Library font_library = nullptr;
FT_Face font_face = nullptr;
constexpr int pad = 4;  // room round the ink for the opening
}  // namespace

bool font_open(const char* path) {
  font_close();
  if (FT_Init_FreeType(&font_library) != 0) return false;
  if (FT_New_Face(font_library, path, 0, &font_face) != 0 || !FT_IS_SCALABLE(font_face)) {
    font_close();
    return false;
  }
  return true;
}

void font_close() {
  if (font_face) FT_Done_Face(font_face);
  if (font_library) FT_Done_FreeType(font_library);
  font_face = nullptr;
  font_library = nullptr;
}

void mask_open3(Mask& m) {
  const int w = m.width, h = m.height;
  auto lit = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && m.pixels[static_cast<std::size_t>(y) * w + x] > 10;
  };
  std::vector<std::uint8_t> core(static_cast<std::size_t>(w) *
                                 h);  // centres of fully lit 3x3 squares
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      bool all = true;
      for (int dy = -1; dy <= 1 && all; dy++)
        for (int dx = -1; dx <= 1 && all; dx++) all = lit(x + dx, y + dy);
      core[static_cast<std::size_t>(y) * w + x] = all;
    }
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      bool keep = false;
      for (int dy = -1; dy <= 1 && !keep; dy++)
        for (int dx = -1; dx <= 1 && !keep; dx++) {
          const int cx = x + dx, cy = y + dy;
          keep =
              cx >= 0 && cy >= 0 && cx < w && cy < h && core[static_cast<std::size_t>(cy) * w + cx];
        }
      m.pixels[static_cast<std::size_t>(y) * w + x] = keep ? 255 : 0;
    }
}

TextLine text_line(std::string_view text, int px) {
  TextLine out;
  if (!font_face || text.empty() || px <= 0) return out;
  FT_Set_Pixel_Sizes(font_face, 0, static_cast<FT_UInt>(px));
  // First pass: pen positions, for the canvas size.
  const int ascent = static_cast<int>(font_face->size->metrics.ascender >> 6) + pad;
  const int descent = static_cast<int>(-(font_face->size->metrics.descender >> 6)) + pad;
  long pen = 0;  // 26.6
  FT_UInt prev = 0;
  std::vector<long> pens;
  for (char c : text) {
    const FT_UInt g = FT_Get_Char_Index(font_face, static_cast<unsigned char>(c));
    if (prev && g && FT_HAS_KERNING(font_face)) {
      FT_Vector k;
      if (FT_Get_Kerning(font_face, prev, g, FT_KERNING_DEFAULT, &k) == 0) pen += k.x;
    }
    pens.push_back(pen);
    if (FT_Load_Glyph(font_face, g, FT_LOAD_DEFAULT) == 0) pen += font_face->glyph->advance.x;
    prev = g;
  }
  const int w = static_cast<int>(pen >> 6) + px + 2 * pad, h = ascent + descent + px / 2;
  Mask canvas = mask_make(w, h);
  const int base = ascent + px / 4;
  for (std::size_t i = 0; i < text.size(); i++) {
    const FT_UInt g = FT_Get_Char_Index(font_face, static_cast<unsigned char>(text[i]));
    if (FT_Load_Glyph(font_face, g, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot s = font_face->glyph;
    const FT_Bitmap& bm = s->bitmap;
    const int ox = static_cast<int>(pens[i] >> 6) + pad + s->bitmap_left, oy = base - s->bitmap_top;
    for (unsigned r = 0; r < bm.rows; r++)
      for (unsigned c = 0; c < bm.width; c++) {
        const int x = ox + static_cast<int>(c), y = oy + static_cast<int>(r);
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        if (bm.buffer[r * static_cast<unsigned>(bm.pitch) + c] >= 128)
          canvas.pixels[static_cast<std::size_t>(y) * w + x] = 255;
      }
  }
  mask_open3(canvas);
  // Crop to the ink.
  int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      if (canvas.pixels[static_cast<std::size_t>(y) * w + x]) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  if (x1 < 0) return out;
  out.mask = mask_make(x1 - x0 + 1, y1 - y0 + 1);
  for (int y = y0; y <= y1; y++)
    std::copy_n(&canvas.pixels[static_cast<std::size_t>(y) * w + x0], out.mask.width,
                &out.mask.pixels[static_cast<std::size_t>(y - y0) * out.mask.width]);
  out.baseline = base - y0;
  return out;
}

int text_fit(std::string_view text, int max_w, int max_h, int min_px) {
  // Ink grows with the size, so the largest fitting size is found by bisection.
  int lo = min_px, hi = max_h * 2;
  while (lo < hi) {
    const int px = (lo + hi + 1) / 2;
    const TextLine t = text_line(text, px);
    if (t.mask.width <= max_w && t.mask.height <= max_h)
      lo = px;
    else
      hi = px - 1;
  }
  return lo;
}

void text_block(Mask& dst, const std::vector<TextSpec>& lines, int cx, int cy, float leading) {
  std::vector<TextLine> rendered;
  int biggest = 0;
  for (const TextSpec& l : lines) {
    rendered.push_back(text_line(l.text, l.px));
    biggest = std::max(biggest, l.px);
  }
  const int step = static_cast<int>(static_cast<float>(biggest) * leading);
  // Ink extent of the block relative to the first baseline.
  int top = INT_MAX, bottom = INT_MIN;
  for (std::size_t i = 0; i < rendered.size(); i++) {
    if (rendered[i].mask.width == 0) continue;
    const int b = static_cast<int>(i) * step;
    top = std::min(top, b - rendered[i].baseline);
    bottom = std::max(bottom, b - rendered[i].baseline + rendered[i].mask.height);
  }
  if (top > bottom) return;
  const int first_base = cy - (top + bottom) / 2;
  for (std::size_t i = 0; i < rendered.size(); i++) {
    const Mask& m = rendered[i].mask;
    const int ox = cx - m.width / 2,
              oy = first_base + static_cast<int>(i) * step - rendered[i].baseline;
    for (int y = 0; y < m.height; y++)
      for (int x = 0; x < m.width; x++) {
        const int dx = ox + x, dy = oy + y;
        if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
        if (m.pixels[static_cast<std::size_t>(y) * m.width + x])
          dst.pixels[static_cast<std::size_t>(dy) * dst.width + dx] = 255;
      }
  }
}
