#include "reference.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

void order(ScreenVertex v[3], ScreenVertex& t, ScreenVertex& m, ScreenVertex& b) {
  int o[3];
  if (v[0].y < v[1].y) {
    if (v[1].y <= v[2].y)
      o[0] = 0, o[1] = 1, o[2] = 2;
    else if (v[2].y >= v[0].y)
      o[0] = 0, o[1] = 2, o[2] = 1;
    else
      o[0] = 2, o[1] = 0, o[2] = 1;
  } else {
    if (v[0].y < v[2].y)
      o[0] = 1, o[1] = 0, o[2] = 2;
    else if (v[2].y >= v[1].y)
      o[0] = 1, o[1] = 2, o[2] = 0;
    else
      o[0] = 2, o[1] = 1, o[2] = 0;
  }
  t = v[o[0]], m = v[o[1]], b = v[o[2]];
}

bool outside(Canvas&, RefStats& stats, long long x, long long y) {
  if (x < 0 || x >= FRAME_WIDTH || y < 0 || y >= FRAME_HEIGHT) {
    ++stats.pixels_outside;
    return true;
  }
  return false;
}

// ---- shaded ----------------------------------------------------------------

struct Edge {
  float x, t, z, dx, dt, dz;
};

Edge edge(const ScreenVertex& p, const ScreenVertex& q) {
  Edge e{};
  const float dy = static_cast<float>(static_cast<long long>(q.y) - p.y);
  e.dx = static_cast<float>(static_cast<long long>(q.x) - p.x) / dy;
  e.dt = static_cast<float>(static_cast<long long>(q.i) - p.i) / dy;
  e.dz = static_cast<float>(static_cast<long long>(q.z) - p.z) / dy;
  return e;
}

void anchor(Edge& e, const ScreenVertex& a, long long row) {
  const float k = static_cast<float>(row - a.y);
  e.x = static_cast<float>(a.x) + e.dx * k;
  e.t = static_cast<float>(a.i) + e.dt * k;
  e.z = static_cast<float>(a.z) + e.dz * k;
}

void step(Edge& e, float sign) {
  e.x += sign * e.dx;
  e.t += sign * e.dt;
  e.z += sign * e.dz;
}

long long truncate(float v) { return static_cast<long long>(std::trunc(static_cast<double>(v))); }

void shaded_span(Canvas& c, RefStats& stats, const std::uint32_t* shades, bool clip, long long y,
                 const Edge& L, const Edge& R) {
  const long long l = truncate(L.x), r = truncate(R.x);
  if (clip && (l > 319 || r < 0)) return;
  float dt = 0, dz = 0;
  if (r != l) {
    dt = (R.t - L.t) / static_cast<float>(r - l);
    dz = (R.z - L.z) / static_cast<float>(r - l);
  }
  long long from = l, to = r;
  float t = L.t, z = L.z;
  if (clip && l < 0) {
    from = 0;
    t = L.t + dt * (0.0f - L.x);
    z = L.z + dz * (0.0f - L.x);
  }
  if (clip && r > 319) to = 319;
  for (long long x = from; x <= to; ++x, t += dt, z += dz) {
    if (outside(c, stats, x, y)) continue;
    const double zt = std::trunc(static_cast<double>(z));
    const auto d = static_cast<std::int32_t>(std::clamp(zt, -2147483648.0, 2147483647.0));
    const long long index = std::clamp<long long>(truncate(t), 0, 255);
    const int p = static_cast<int>(y) * FRAME_WIDTH + static_cast<int>(x);
    if (c.depth[p] > d) {
      c.depth[p] = d;
      c.target[p] = shades[index];
    }
  }
}

void shaded_rows(Canvas& c, RefStats& stats, const std::uint32_t* shades, bool clip,
                 long long first, long long last, Edge& L, Edge& R) {
  if (clip) first = std::max(first, 0LL), last = std::min(last, 239LL);
  for (long long y = first; y <= last; ++y) {
    shaded_span(c, stats, shades, clip, y, L, R);
    step(L, 1);
    step(R, 1);
  }
}

}  // namespace

void ref_shaded(Canvas& c, RefStats& stats, const std::uint32_t* shades, bool clip, ScreenVertex a,
                ScreenVertex b0, ScreenVertex d) {
  ScreenVertex v[3] = {a, b0, d}, t, m, b;
  order(v, t, m, b);
  if (clip) {
    if (t.y > 239 || b.y < 0) return;
    if (t.x < 0 && m.x < 0 && b.x < 0) return;
    if (t.x > 319 && m.x > 319 && b.x > 319) return;
  }
  Edge L, R;
  if (m.y == b.y) {
    if (t.y == b.y) return;
    if (b.x > m.x)
      L = edge(t, m), R = edge(t, b);
    else
      L = edge(t, b), R = edge(t, m);
    const long long first = clip ? std::max(t.y, 0) : t.y;
    anchor(L, t, first);
    anchor(R, t, first);
    shaded_rows(c, stats, shades, clip, first, m.y, L, R);
  } else if (m.y == t.y) {
    if (t.x < m.x)
      L = edge(t, b), R = edge(m, b);
    else
      L = edge(m, b), R = edge(t, b);
    const long long first = clip ? std::max(t.y, 0) : t.y;
    anchor(L, b, first);
    anchor(R, b, first);
    shaded_rows(c, stats, shades, clip, first, b.y, L, R);
  } else {
    const double tx = t.x, ty = t.y;
    const double X = tx + (tx - b.x) * (m.y - ty) / (ty - b.y);
    const bool mid_left = X > m.x;
    Edge lng = edge(t, b), shr;
    if (clip && m.y < 0) {
      shr = edge(m, b);
      anchor(shr, b, 0);
      anchor(lng, b, 0);
      if (mid_left)
        shaded_rows(c, stats, shades, clip, 0, b.y, shr, lng);
      else
        shaded_rows(c, stats, shades, clip, 0, b.y, lng, shr);
      return;
    }
    shr = edge(t, m);
    const long long first = clip ? std::max(t.y, 0) : t.y;
    anchor(shr, t, first);
    anchor(lng, t, first);
    if (mid_left)
      shaded_rows(c, stats, shades, clip, first, m.y, shr, lng);
    else
      shaded_rows(c, stats, shades, clip, first, m.y, lng, shr);
    if (clip && m.y >= 239) return;
    step(shr, -1);
    const Edge lower = edge(m, b);
    shr.dx = lower.dx, shr.dt = lower.dt, shr.dz = lower.dz;
    step(shr, 1);
    if (mid_left)
      shaded_rows(c, stats, shades, clip, m.y + 1LL, b.y, shr, lng);
    else
      shaded_rows(c, stats, shades, clip, m.y + 1LL, b.y, lng, shr);
  }
}

// ---- flat ------------------------------------------------------------------
// 32-bit 16.16 as the rules state it; products keep their low 32 bits.

namespace {

std::int32_t fx(long long n) { return static_cast<std::int32_t>(n * 65536); }
std::int32_t fdiv(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(a) * 65536) / b);
}
std::int32_t fmul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(a) * b) >> 16);
}

// An edge through p with per-row steps toward q; value k rows below p.
struct Line {
  std::int32_t x0, z0, dx, dz;
  std::int32_t x(long long k) const { return x0 + fmul(dx, fx(k)); }
  std::int32_t z(long long k) const { return z0 + fmul(dz, fx(k)); }
};
Line line(const ScreenVertex& p, const ScreenVertex& q, long long dy) {
  return {fx(p.x), fx(p.z), fdiv(fx(q.x - p.x), fx(dy)), fdiv(fx(q.z - p.z), fx(dy))};
}

void flat_span(Canvas& c, RefStats& stats, bool clip, long long y, std::int32_t xL, std::int32_t zL,
               std::int32_t xR, std::int32_t zR, std::uint32_t shade) {
  const std::int32_t l = xL >> 16, r = xR >> 16;
  if (clip && (l > 319 || r < 0)) return;
  const std::int32_t st = r == l ? 0 : fdiv(zR - zL, fx(r - l));
  std::int32_t depth = zL;
  int from = l, to = r;
  if (clip && l < 0) from = 0, depth += fmul(st, -xL);
  if (clip && r > 319) to = 319;
  // The step is added between pixels only: past the last one it may leave 32 bits.
  for (int x = from; x <= to; depth += x < to ? st : 0, ++x) {
    if (outside(c, stats, x, y)) continue;
    const int p = static_cast<int>(y) * FRAME_WIDTH + x;
    if (c.depth[p] >= (depth >> 16)) {
      c.depth[p] = depth >> 16;
      c.target[p] = shade;
    }
  }
}

bool in_range(long long v) { return v >= -32767 && v <= 32767; }

}  // namespace

void ref_flat(Canvas& c, RefStats& stats, bool clip, ScreenVertex a, ScreenVertex b0,
              ScreenVertex d, std::uint32_t shade) {
  ScreenVertex v[3] = {a, b0, d}, t, m, b;
  if (a.y == b0.y && b0.y == d.y) return;
  if (a.x == b0.x && b0.x == d.x) return;
  if (clip) {
    for (int k = 0; k < 3; ++k) {
      const ScreenVertex& n = v[(k + 1) % 3];
      if (!in_range(v[k].x) || !in_range(v[k].y) || !in_range(0LL + v[k].x - n.x) ||
          !in_range(0LL + v[k].y - n.y))
        return;
    }
  }
  order(v, t, m, b);
  if (clip && ((t.x < 0 && m.x < 0 && b.x < 0) || (t.x > 319 && m.x > 319 && b.x > 319) ||
               b.y < 0 || t.y > 239))
    return;
  const long long first = clip ? std::max(t.y, 0) : t.y;
  const long long last = clip ? std::min(b.y, 239) : b.y;
  if (t.y == m.y || m.y == b.y) {
    Line L, R;
    if (t.y == m.y) {
      if (m.x > t.x)
        L = line(t, b, b.y - m.y), R = line(m, b, b.y - m.y);
      else
        L = line(m, b, b.y - m.y), R = line(t, b, b.y - m.y);
    } else {
      if (m.x < b.x)
        L = line(t, m, b.y - t.y), R = line(t, b, b.y - t.y);
      else
        L = line(t, b, b.y - t.y), R = line(t, m, b.y - t.y);
    }
    for (long long y = first; y <= last; ++y)
      flat_span(c, stats, clip, y, L.x(y - t.y), L.z(y - t.y), R.x(y - t.y), R.z(y - t.y), shade);
    return;
  }
  const Line lng = line(t, b, b.y - t.y);
  const Line upper = line(t, m, m.y - t.y);
  const Line lower = line(m, b, b.y - m.y);  // its first row is the one below the middle
  const long long X = t.x + (fmul(lng.dx, fx(m.y - t.y)) >> 16);
  const bool mid_left = m.x < X;
  for (long long y = first; y <= last; ++y) {
    const bool up = y <= m.y;
    const long long ks = up ? y - t.y : y - m.y - 1;
    const Line& s = up ? upper : lower;
    const std::int32_t xs = s.x(ks), zs = s.z(ks), xl = lng.x(y - t.y), zl = lng.z(y - t.y);
    if (mid_left)
      flat_span(c, stats, clip, y, xs, zs, xl, zl, shade);
    else
      flat_span(c, stats, clip, y, xl, zl, xs, zs, shade);
  }
}
