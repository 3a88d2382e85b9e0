// How each quiz monster dies, one way per monster, drawn from its normal pose:
// burning away from the feet up, melting into a puddle, splitting in two,
// shrinking into a point, dissolving into sparks, or thinning into smoke.
#include "monster_deaths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "noise.h"
#include "rng.h"

namespace assetgen {

namespace {

// Where an output pixel takes its colour from in the body, how much of it
// survives, and the colour it is pulled toward.
struct Texel {
  double x, y;
  double alpha;
  Rgb tint;
  double tint_amount;
};

// Paints the body through a per-pixel look-up, so a death can bend, thin out
// or recolour the creature without cutting it into pieces.
void PaintRemapped(cairo_t* cr, cairo_surface_t* body, int w, int h, const std::function<Texel(int, int)>& look_up) {
  cairo_surface_flush(body);
  const unsigned char* src = cairo_image_surface_get_data(body);
  const int src_stride = cairo_image_surface_get_stride(body);
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  unsigned char* dst = cairo_image_surface_get_data(out);
  const int dst_stride = cairo_image_surface_get_stride(out);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Texel t = look_up(x, y);
      int sx = static_cast<int>(std::floor(t.x)), sy = static_cast<int>(std::floor(t.y));
      auto* d = reinterpret_cast<uint32_t*>(dst + y * dst_stride) + x;
      *d = 0;
      if (sx < 0 || sy < 0 || sx >= w || sy >= h || t.alpha <= 0) continue;
      uint32_t p = reinterpret_cast<const uint32_t*>(src + sy * src_stride)[sx];
      double a = (p >> 24) / 255.0;
      if (a <= 0) continue;
      Rgb c{((p >> 16) & 255) / 255.0 / a, ((p >> 8) & 255) / 255.0 / a, (p & 255) / 255.0 / a};
      c = c.Mix(t.tint, std::clamp(t.tint_amount, 0.0, 1.0));
      double na = a * std::min(t.alpha, 1.0);
      auto channel = [na](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * na * 255 + 0.5); };
      *d = (static_cast<uint32_t>(na * 255 + 0.5) << 24) | (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
    }
  }
  cairo_surface_mark_dirty(out);
  cairo_set_source_surface(cr, out, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(out);
}

// The white-hot flash of the killing hit, strongest on the first frame.
void HitFlash(cairo_t* cr, int w, int h, double progress, Rgb color) {
  double strength = std::max(0.0, 1 - progress * 5);
  if (strength <= 0) return;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  Glow(cr, w / 2.0, h * 0.5, std::min(w, h) * 0.6, color, 0.8 * strength);
  cairo_restore(cr);
}

// A soft grey cloud, for smoke and dust.
void SmokePuff(cairo_t* cr, double x, double y, double r, Rgb color, double alpha) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
  cairo_pattern_add_color_stop_rgba(p, 0, color.r, color.g, color.b, alpha);
  cairo_pattern_add_color_stop_rgba(p, 0.6, color.r * 0.8, color.g * 0.8, color.b * 0.8, alpha * 0.6);
  cairo_pattern_add_color_stop_rgba(p, 1, color.r * 0.6, color.g * 0.6, color.b * 0.6, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// A flame tongue standing on (x, y), `height` tall.
void Flame(cairo_t* cr, double x, double y, double width, double height, double alpha) {
  cairo_move_to(cr, x - width / 2, y);
  cairo_curve_to(cr, x - width / 2, y - height * 0.5, x + width * 0.1, y - height * 0.6, x, y - height);
  cairo_curve_to(cr, x + width * 0.2, y - height * 0.5, x + width / 2, y - height * 0.4, x + width / 2, y);
  cairo_close_path(cr);
  SetLinearGradient(cr, 0, y, 0, y - height,
                    {{0, Hex(0xFFF0A0), alpha}, {0.4, Hex(0xFF8A10), alpha}, {1, Hex(0xC02000), 0}});
  cairo_fill(cr);
}

// Fire climbs from the feet to the head; what it passes is gone, what it nears
// chars black, and a heap of ash is left.
void BurnAway(cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t seed) {
  FractalNoise ragged(seed, 6, 2);
  const double front_base = h * (1.02 - 1.1 * progress);
  auto front = [&](int x) { return front_base + 10 * ragged.At(x / double(w), 0.3); };
  PaintRemapped(cr, body, w, h, [&](int x, int y) {
    double above = front(x) - y;
    if (above < 0) return Texel{double(x), double(y), 0, {}, 0};
    if (above < 12) return Texel{double(x), double(y), 1, Hex(0xFF6A10), 0.8 - above / 20};
    return Texel{double(x), double(y), 1, Hex(0x140C08), std::min(0.85, progress * 1.2)};
  });
  Rng rng(seed);
  double fire = std::clamp((0.9 - progress) / 0.35, 0.0, 1.0);  // dies down once the head is gone
  for (int i = 0; i < 7; ++i) {
    double x = w * (0.22 + 0.56 * i / 6.0) + rng.Range(-4, 4);
    double y = std::min(front(static_cast<int>(x)) + 4, h * 0.93);
    Flame(cr, x, y, rng.Range(10, 16), rng.Range(18, 34) * (0.6 + 0.6 * fire), fire);
  }
  double ash = std::min(1.0, progress * 1.3);
  EllipsePath(cr, w / 2.0, h * 0.93, w * 0.3 * ash + 1, 3 + 7 * ash);
  SetColor(cr, Hex(0x38302C));
  cairo_fill(cr);
  HitFlash(cr, w, h, progress, Hex(0xFF8030));
}

// The body sags column by column into a spreading, glossy puddle.
void MeltDown(cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t /*seed*/) {
  const double floor = h * 0.93;
  PaintRemapped(cr, body, w, h, [&](int x, int y) {
    double column = 1.15 + 0.25 * std::sin(x * 0.09 + 1) * std::cos(x * 0.05);
    double keep = 1 - std::pow(progress, 0.8) * column;
    double spread = 1 + progress * 0.7 * std::clamp((y - floor * 0.6) / (floor * 0.4), 0.0, 1.0);
    double sx = w / 2.0 + (x - w / 2.0) / spread;
    double sy = floor - (floor - y) / keep;
    if (keep < 0.05) return Texel{sx, sy, 0, {}, 0};
    return Texel{sx, sy, 1, Hex(0x6A0A10), progress * 0.6};
  });
  double pool = std::min(1.0, progress * 1.4);
  EllipsePath(cr, w / 2.0, floor, w * (0.12 + 0.3 * pool), 2 + 6 * pool);
  SetColor(cr, Hex(0x7A1018));
  cairo_fill(cr);
  EllipsePath(cr, w / 2.0 - 8, floor - 2, w * 0.12 * pool, 1.5 * pool);
  SetColor(cr, Hex(0xF06070), 0.7);
  cairo_fill(cr);
  for (int i = 0; i < 4 && progress > 0.1 && progress < 0.95; ++i) {  // drips running off
    double x = w * (0.3 + 0.13 * i), len = 6 + 10 * std::sin(progress * 3 + i);
    Blob(cr, x, floor - 6 - len * 0.5, 2, std::max(2.0, len * 0.5), Hex(0x9A1820), 0);
  }
  HitFlash(cr, w, h, progress, Hex(0xFF4060));
}

// The jagged cut from top to bottom down the middle of the body.
void SplitLine(cairo_t* cr, int w, int h, bool left) {
  double edge = left ? 0 : w;
  cairo_move_to(cr, edge, 0);
  for (int i = 0; i <= 10; ++i) cairo_line_to(cr, w / 2.0 + (i % 2 ? 5 : -5), h * i / 10.0);
  cairo_line_to(cr, edge, h);
  cairo_close_path(cr);
}

// A crack runs down the middle and the two halves topple apart, leaving dust.
void SplitApart(cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t seed) {
  const double fall = std::pow(std::max(0.0, progress - 0.1) / 0.9, 1.6);
  const double fade = progress < 0.7 ? 1 : 1 - (progress - 0.7) / 0.3;
  for (bool left : {true, false}) {
    double side = left ? -1 : 1;
    cairo_save(cr);
    cairo_translate(cr, w / 2.0 + side * w * 0.2, h * 0.93);
    cairo_rotate(cr, side * fall * 1.4);
    cairo_translate(cr, -(w / 2.0 + side * w * 0.2) + side * fall * 10, -h * 0.93);
    SplitLine(cr, w, h, left);
    cairo_clip(cr);
    cairo_set_source_surface(cr, body, 0, 0);
    cairo_paint_with_alpha(cr, fade);
    cairo_restore(cr);
  }
  if (progress > 0 && progress < 0.3) {  // the crack glows as it opens
    cairo_move_to(cr, w / 2.0, 0);
    for (int i = 0; i <= 10; ++i) cairo_line_to(cr, w / 2.0 + (i % 2 ? 5 : -5), h * i / 10.0);
    SetColor(cr, Hex(0xC0FFD0), 1 - progress / 0.3);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
  }
  Rng rng(seed);
  for (int i = 0; i < 6; ++i) {
    double x = w * rng.Range(0.15, 0.85), r = w * rng.Range(0.1, 0.2) * (0.5 + progress);
    SmokePuff(cr, x, h * 0.9 - progress * rng.Range(4, 16), r, Hex(0x9A9480), 0.5 * fall * fade + 0.2 * fall);
  }
  HitFlash(cr, w, h, progress, Hex(0x80FFA0));
}

// The body twists and shrinks into a point, which bursts in a ring of light.
void ShrinkAway(cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t /*seed*/) {
  const double cx = w / 2.0, cy = h * 0.5;
  double scale = std::pow(std::max(0.0, 1 - progress / 0.8), 1.3);
  if (scale > 0.01) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, progress * progress * 5);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -cx, -cy);
    cairo_set_source_surface(cr, body, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  Glow(cr, cx, cy, 10 + 30 * progress, Hex(0xC060FF), 0.3 + 0.5 * std::sin(progress * M_PI));
  if (progress > 0.7) {
    double t = (progress - 0.7) / 0.3;
    cairo_arc(cr, cx, cy, 8 + 45 * t, 0, 2 * M_PI);
    SetColor(cr, Hex(0xE0B0FF), 1 - t);
    cairo_set_line_width(cr, 4 * (1 - t) + 0.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  HitFlash(cr, w, h, progress, Hex(0xA060FF));
}

// Cheap per-pixel hash in [0, 1): when that pixel turns to a spark.
double PixelHash(int x, int y, uint64_t seed) {
  uint64_t v = (static_cast<uint64_t>(x) * 73856093u) ^ (static_cast<uint64_t>(y) * 19349663u) ^ seed;
  return Rng(v).Unit();
}

// Pixel by pixel the body turns into sparks that fly up and out and die away.
void DissolveIntoSparks(cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t seed) {
  auto turned = [&](int x, int y) { return PixelHash(x, y, seed) < progress * 1.15 - 0.1; };
  PaintRemapped(cr, body, w, h, [&](int x, int y) {
    return Texel{double(x), double(y), turned(x, y) ? 0.0 : 1.0, Hex(0xFFE080), progress * 0.5};
  });
  cairo_surface_flush(body);
  const unsigned char* src = cairo_image_surface_get_data(body);
  const int stride = cairo_image_surface_get_stride(body);
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
  for (int y = 0; y < h; y += 3) {
    for (int x = 0; x < w; x += 3) {
      if ((src[y * stride + x * 4 + 3]) < 128 || !turned(x, y)) continue;
      double age = progress * 1.15 - 0.1 - PixelHash(x, y, seed);
      double away = age * 40, rise = age * age * 70;
      double px = x + (x - w / 2.0) / w * away, py = y - rise;
      double life = std::max(0.0, 1 - age * 1.6);
      SetColor(cr, Hex(0xFFC040).Mix(Hex(0xFF4010), age), life);
      cairo_arc(cr, px, py, 1.2, 0, 2 * M_PI);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
  HitFlash(cr, w, h, progress, Hex(0xFFC040));
}

// Small blasts go off on the armour; the body greys, thins out unevenly and
// drifts away upward as smoke.
void FadeToSmoke(cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t seed) {
  FractalNoise holes(seed, 5, 3);
  PaintRemapped(cr, body, w, h, [&](int x, int y) {
    double n = holes.At(x / double(w), y / double(h) + progress * 0.3);
    double alpha = std::clamp((n + 0.3 - progress * 1.4) * 3 + 1 - progress, 0.0, 1.0);
    double drift = progress * progress * 20;
    return Texel{double(x), y + drift, alpha, Hex(0x5A5A60), progress * 0.9};
  });
  Rng rng(seed);
  for (int i = 0; i < 9; ++i) {
    double x = w * rng.Range(0.2, 0.8), y = h * rng.Range(0.2, 0.85) - progress * h * rng.Range(0.2, 0.5);
    double r = w * rng.Range(0.12, 0.22) * (0.6 + progress);
    SmokePuff(cr, x, y, r, Hex(0x6A6670), 0.6 * std::sin(progress * M_PI) + 0.05);
  }
  if (progress < 0.45) {
    for (int i = 0; i < 2; ++i)
      Explosion(cr, rng, w * rng.Range(0.3, 0.7), h * rng.Range(0.3, 0.7), 16, 0.2 + progress * 2.5);
  }
  HitFlash(cr, w, h, progress, Hex(0x60A0FF));
}

}  // namespace

void DrawDeath(Death death, cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t seed) {
  switch (death) {
    case Death::kBurn: BurnAway(cr, body, w, h, progress, seed); break;
    case Death::kMelt: MeltDown(cr, body, w, h, progress, seed); break;
    case Death::kSplit: SplitApart(cr, body, w, h, progress, seed); break;
    case Death::kShrink: ShrinkAway(cr, body, w, h, progress, seed); break;
    case Death::kSparks: DissolveIntoSparks(cr, body, w, h, progress, seed); break;
    case Death::kSmoke: FadeToSmoke(cr, body, w, h, progress, seed); break;
  }
}

}  // namespace assetgen
