#include "draw.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "noise.h"

namespace assetgen {

Canvas::Canvas(int width, int height, bool alpha)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void SetColor(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void SetLinearGradient(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
  for (const Stop& s : stops) cairo_pattern_add_color_stop_rgba(p, s.offset, s.color.r, s.color.g, s.color.b, s.alpha);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void PolygonPath(cairo_t* cr, std::initializer_list<double> xy) {
  cairo_new_sub_path(cr);
  for (const double* p = xy.begin(); p + 1 < xy.end(); p += 2) cairo_line_to(cr, p[0], p[1]);
  cairo_close_path(cr);
}

void DoubleStroke(cairo_t* cr, Rgb under, double under_width, Rgb over, double over_width) {
  SetColor(cr, under);
  cairo_set_line_width(cr, under_width);
  cairo_stroke_preserve(cr);
  SetColor(cr, over);
  cairo_set_line_width(cr, over_width);
  cairo_stroke(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void FillVertical(cairo_t* cr, double w, double h, Rgb top, Rgb bottom) {
  SetLinearGradient(cr, 0, 0, 0, h, {{0, top}, {1, bottom}});
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_fill(cr);
}

void ShadeAndOutline(cairo_t* cr, double cx, double cy, double radius, Rgb base, double outline) {
  Rgb light = base.Lighter(0.45), dark = base.Darker(0.55);
  cairo_pattern_t* p =
      cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4, radius * 0.05, cx, cy, radius * 1.15);
  cairo_pattern_add_color_stop_rgb(p, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(p, 0.45, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  if (outline > 0) {
    SetColor(cr, base.Darker(0.82));
    cairo_set_line_width(cr, outline);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  cairo_new_path(cr);
}

void Blob(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb base, double outline) {
  EllipsePath(cr, cx, cy, rx, ry);
  ShadeAndOutline(cr, cx, cy, std::max(rx, ry), base, outline);
}

// A thick rounded limb from (x1, y1) to (x2, y2) with a dark outline.
void Limb(cairo_t* cr, double x1, double y1, double x2, double y2, double width, Rgb color) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  SetColor(cr, color.Darker(0.82));
  cairo_set_line_width(cr, width + 3);
  cairo_stroke_preserve(cr);
  SetColor(cr, color);
  cairo_set_line_width(cr, width);
  cairo_stroke_preserve(cr);
  cairo_translate(cr, -width * 0.18, -width * 0.18);
  SetColor(cr, color.Lighter(0.35), 0.6);
  cairo_set_line_width(cr, width * 0.35);
  cairo_stroke(cr);
  cairo_translate(cr, width * 0.18, width * 0.18);
}

// A curved horn from a base at (x, y) to its tip at (tx, ty).
void Horn(cairo_t* cr, double x, double y, double tx, double ty, double width, Rgb color) {
  double nx = -(ty - y), ny = tx - x, len = std::hypot(nx, ny);
  nx *= width / len;
  ny *= width / len;
  cairo_move_to(cr, x - nx, y - ny);
  cairo_curve_to(cr, x - nx * 0.5 + (tx - x) * 0.5, y - ny * 0.5 + (ty - y) * 0.2, tx, ty, tx, ty);
  cairo_curve_to(cr, tx, ty, x + (tx - x) * 0.4 + nx, y + (ty - y) * 0.5 + ny, x + nx, y + ny);
  cairo_close_path(cr);
  ShadeAndOutline(cr, (x + tx) / 2, (y + ty) / 2, width * 2, color, 1.6);
}

// A three-fingered claw at (x, y), fingers spread around `angle`.
void Claw(cairo_t* cr, double x, double y, double angle, double size, Rgb color) {
  for (int k = -1; k <= 1; ++k) {
    double a = angle + k * 0.45;
    Limb(cr, x, y, x + std::cos(a) * size, y + std::sin(a) * size, size * 0.35, color);
  }
}

namespace {

// A disc fading out at its rim: `inner` at the focus (shifted by `focus` x radius
// toward the upper left), `outer` at `middle` with `middle_alpha`, transparent at the rim.
void SoftDisc(cairo_t* cr, double x, double y, double r, double focus, Rgb inner, Rgb outer, double alpha,
              double middle, double middle_alpha) {
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * focus, y - r * focus, r * focus / 3, x, y, r);
  cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, alpha);
  cairo_pattern_add_color_stop_rgba(p, middle, outer.r, outer.g, outer.b, middle_alpha);
  cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

}  // namespace

void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb color, double alpha) {
  SoftDisc(cr, cx, cy, radius, 0, color, color, alpha, 0.4, alpha * 0.45);
}

void Eye(cairo_t* cr, double cx, double cy, double r, Rgb iris, double look_x, double look_y) {
  EllipsePath(cr, cx, cy, r, r * 1.1);
  SetColor(cr, Hex(0xF4F1EA));
  cairo_fill_preserve(cr);
  SetColor(cr, Hex(0x1A1016));
  cairo_set_line_width(cr, std::max(1.0, r * 0.18));
  cairo_stroke(cr);
  double ix = cx + look_x * r * 0.35, iy = cy + look_y * r * 0.35;
  Blob(cr, ix, iy, r * 0.58, r * 0.62, iris, 0);
  SetColor(cr, Hex(0x0C0810));
  EllipsePath(cr, ix, iy, r * 0.3, r * 0.33);
  cairo_fill(cr);
  SetColor(cr, {1, 1, 1}, 0.9);
  EllipsePath(cr, ix - r * 0.22, iy - r * 0.25, r * 0.15, r * 0.15);
  cairo_fill(cr);
}

void GlowEye(cairo_t* cr, double cx, double cy, double r, Rgb color) {
  Glow(cr, cx, cy, r * 2.6, color, 0.55);
  EllipsePath(cr, cx, cy, r, r * 0.55);
  SetColor(cr, color.Lighter(0.55));
  cairo_fill(cr);
  EllipsePath(cr, cx, cy, r * 0.35, r * 0.35);
  SetColor(cr, {1, 1, 0.9});
  cairo_fill(cr);
}

void Vignette(cairo_t* cr, double w, double h, double strength) {
  double r = std::hypot(w, h) / 2;
  cairo_pattern_t* p = cairo_pattern_create_radial(w / 2, h / 2, r * 0.45, w / 2, h / 2, r);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, strength);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Stars(cairo_t* cr, Rng& rng, double w, double h, int count) {
  for (int i = 0; i < count; ++i) {
    double x = rng.Range(0, w), y = rng.Range(0, h), size = rng.Range(0.3, 1.3);
    Rgb tint = Hex(0xFFFFFF).Mix(rng.Chance(0.5) ? Hex(0xFFB08A) : Hex(0x9FC8FF), rng.Unit() * 0.6);
    if (size > 1.1) Glow(cr, x, y, size * 4, tint, 0.35);
    SetColor(cr, tint, rng.Range(0.4, 1));
    cairo_arc(cr, x, y, size, 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

namespace {

// Heights of a ridge line by midpoint displacement, `count` + 1 points.
std::vector<double> RidgeLine(Rng& rng, int count, double amplitude) {
  std::vector<double> y(count + 1, 0.0);
  y[0] = rng.Range(-0.5, 0.5) * amplitude;
  y[count] = rng.Range(-0.5, 0.5) * amplitude;
  double spread = amplitude;
  for (int step = count; step > 1; step /= 2) {
    for (int i = step / 2; i < count; i += step)
      y[i] = (y[i - step / 2] + y[i + step / 2]) / 2 + rng.Range(-0.5, 0.5) * spread;
    spread *= 0.62;
  }
  return y;
}

}  // namespace

void MountainRange(cairo_t* cr, Rng& rng, double w, double h, double base_y, double amplitude, Rgb top, Rgb bottom) {
  const int kPoints = 128;
  std::vector<double> ridge = RidgeLine(rng, kPoints, amplitude);
  cairo_move_to(cr, 0, h);
  for (int i = 0; i <= kPoints; ++i) cairo_line_to(cr, w * i / kPoints, base_y - std::abs(ridge[i]) - amplitude * 0.2);
  cairo_line_to(cr, w, h);
  cairo_close_path(cr);
  SetLinearGradient(cr, 0, base_y - amplitude, 0, h, {{0, top}, {1, bottom}});
  cairo_fill(cr);
}

namespace {

void Puff(cairo_t* cr, double x, double y, double r, Rgb inner, Rgb outer, double alpha) {
  SoftDisc(cr, x, y, r, 0.3, inner, outer, alpha, 0.7, alpha * 0.85);
}

void Spikes(cairo_t* cr, Rng& rng, double cx, double cy, double inner, double outer, int count, Rgb color,
            double alpha) {
  double start = rng.Range(0, M_PI);
  for (int i = 0; i < count * 2; ++i) {
    double a = start + M_PI * i / count;
    double r = i % 2 == 0 ? outer * rng.Range(0.7, 1.1) : inner;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
  SetColor(cr, color, alpha);
  cairo_fill(cr);
}

}  // namespace

void Explosion(cairo_t* cr, Rng& rng, double cx, double cy, double radius, double stage) {
  double fire = std::clamp(1.6 - stage * 0.8, 0.0, 1.0);   // how much flame is left
  double smoke = std::clamp(stage - 0.6, 0.0, 1.4) / 1.4;  // how much smoke has formed
  double size = radius * (0.45 + 0.4 * std::min(stage, 1.0) + 0.15 * smoke);
  Glow(cr, cx, cy, size * 1.5, Hex(0xFF6A10), 0.6 * fire);
  if (stage < 1.2) Spikes(cr, rng, cx, cy, size * 0.45, size * 1.05, 9, Hex(0xFFB020), 0.85 * fire);
  for (int i = 0; i < 9; ++i) {
    double a = rng.Range(0, 2 * M_PI), d = rng.Range(0.15, 0.55) * size;
    double x = cx + d * std::cos(a), y = cy + d * std::sin(a) - smoke * radius * 0.25;
    double r = size * rng.Range(0.3, 0.5);
    Puff(cr, x, y, r, Hex(0x6A625E).Mix(Hex(0x2A2426), 0.5), Hex(0x1E1A1C), 0.8 * smoke * (1 - 0.3 * smoke));
    Puff(cr, x, y, r * 0.85, Hex(0xFFE070), Hex(0xE03008), 0.9 * fire);
  }
  Glow(cr, cx, cy, size * 0.6 * fire + 1, Hex(0xFFF6C0), fire);
  for (int i = 0; i < 14; ++i) {  // flying sparks
    double a = rng.Range(0, 2 * M_PI), d = size * rng.Range(0.7, 1.35);
    SetColor(cr, Hex(0xFFD060), fire * 0.9);
    cairo_arc(cr, cx + d * std::cos(a), cy + d * std::sin(a), std::max(0.6, radius * 0.025), 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

void OutlinedText(cairo_t* cr, const std::string& utf8, double cx, double baseline, double size, Rgb fill, Rgb outline,
                  bool bold) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, utf8.c_str(), &ext);
  cairo_move_to(cr, cx - ext.width / 2 - ext.x_bearing, baseline);
  cairo_text_path(cr, utf8.c_str());
  SetColor(cr, outline);
  cairo_set_line_width(cr, std::max(1.0, size / 7));
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke_preserve(cr);
  SetColor(cr, fill);
  cairo_fill(cr);
}

void SaveScene(Output& out, const std::string& name, int w, int h, uint64_t seed, double vignette,
               const std::function<void(cairo_t*, Rng&)>& draw) {
  Canvas c(w, h);
  Rng rng(seed);
  draw(c.cr(), rng);
  Vignette(c.cr(), w, h, vignette);
  Grain(c.surface(), seed + 1, 0.012);
  out.SavePicture(name, c.surface(), PictureFormat::kJpeg);
}

void Grain(cairo_surface_t* surface, uint64_t seed, double amount) {
  cairo_surface_flush(surface);
  Rng rng(seed);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      unsigned char* px = data + y * stride + x * 4;
      int delta = static_cast<int>(rng.Range(-amount, amount) * 255);
      int ceiling = opaque ? 255 : px[3];
      for (int c = 0; c < 3; ++c) px[c] = static_cast<unsigned char>(std::clamp(px[c] + delta, 0, ceiling));
    }
  }
  cairo_surface_mark_dirty(surface);
}

void PaintPixels(cairo_surface_t* surface, const std::function<Rgb(int x, int y)>& shade) {
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  auto byte = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      Rgb c = shade(x, y);
      row[x] = 0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
    }
  }
  cairo_surface_mark_dirty(surface);
}

void NoiseClouds(cairo_t* cr, int w, int h, uint64_t seed, int period, Rgb color, double alpha, double threshold) {
  FractalNoise noise(seed, period, 5);
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  unsigned char* data = cairo_image_surface_get_data(mask);
  int stride = cairo_image_surface_get_stride(mask);
  double scale = std::max(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double v = (noise.At(x / scale, y / scale) - threshold) / (1 - threshold) * 2.2;
      data[y * stride + x] = static_cast<unsigned char>(std::clamp(v, 0.0, 1.0) * alpha * 255);
    }
  }
  cairo_surface_mark_dirty(mask);
  SetColor(cr, color);
  cairo_mask_surface(cr, mask, 0, 0);
  cairo_surface_destroy(mask);
}

}  // namespace assetgen
