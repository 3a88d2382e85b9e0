// Shared drawing helpers on top of Cairo: colours, an owning canvas, gradients,
// cartoon shading, glows, explosions and the generic death animation. All the
// pictures use these so they share one look: dark backdrops, saturated accents,
// soft highlights from the upper left and dark outlines.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "output.h"
#include "rng.h"

namespace assetgen {

struct Rgb {
  double r, g, b;
  Rgb Mix(Rgb o, double t) const { return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t}; }
  Rgb Lighter(double t) const { return Mix({1, 1, 1}, t); }
  Rgb Darker(double t) const { return Mix({0, 0, 0}, t); }
  Rgb Scaled(double f) const { return {r * f, g * f, b * f}; }
};

// 0xRRGGBB as a colour.
constexpr Rgb Hex(uint32_t v) { return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0}; }

// An image surface with its drawing context. Opaque canvases are RGB24, others ARGB32.
class Canvas {
 public:
  Canvas(int width, int height, bool alpha = false);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

struct Stop {
  double offset;
  Rgb color;
  double alpha = 1;
};

void SetColor(cairo_t* cr, Rgb c, double alpha = 1);
// Sets the source to a linear gradient from (x0, y0) to (x1, y1).
void SetLinearGradient(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops);
// A closed polygon path through the points (x, y pairs).
void PolygonPath(cairo_t* cr, std::initializer_list<double> xy);
// Strokes the current path twice: a wide dark line, then a narrower coloured one on top.
void DoubleStroke(cairo_t* cr, Rgb under, double under_width, Rgb over, double over_width);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);
void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r);

// Fills the whole target with a vertical gradient.
void FillVertical(cairo_t* cr, double w, double h, Rgb top, Rgb bottom);
// Fills the current path with a lit-from-upper-left radial gradient, then strokes a dark outline.
void ShadeAndOutline(cairo_t* cr, double cx, double cy, double radius, Rgb base, double outline = 1.5);
// A shaded, outlined ellipse: the basic cartoon body part.
void Blob(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb base, double outline = 1.5);
// A thick rounded limb from (x1, y1) to (x2, y2) with a dark outline and a highlight.
void Limb(cairo_t* cr, double x1, double y1, double x2, double y2, double width, Rgb color);
// A curved horn (or spike) from a base at (x, y) to its tip at (tx, ty).
void Horn(cairo_t* cr, double x, double y, double tx, double ty, double width, Rgb color);
// A three-fingered claw at (x, y), fingers spread around `angle`.
void Claw(cairo_t* cr, double x, double y, double angle, double size, Rgb color);
// A soft round glow (additive look) fading to nothing at `radius`.
void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb color, double alpha = 1);
// A cartoon eye: white, iris and pupil, with a small highlight. `look` shifts the pupil.
void Eye(cairo_t* cr, double cx, double cy, double r, Rgb iris, double look_x = 0, double look_y = 0);
// A glowing slit eye for monsters.
void GlowEye(cairo_t* cr, double cx, double cy, double r, Rgb color);
// Darkens the edges of a w x h picture.
void Vignette(cairo_t* cr, double w, double h, double strength);
// Scatters small stars over the rectangle.
void Stars(cairo_t* cr, Rng& rng, double w, double h, int count);
// A mountain ridge across the width with its foot at the bottom of the picture.
void MountainRange(cairo_t* cr, Rng& rng, double w, double h, double base_y, double amplitude, Rgb top, Rgb bottom);
// A fiery burst: `stage` 0 is a tight flash, 1 a big fireball, 2 mostly smoke.
void Explosion(cairo_t* cr, Rng& rng, double cx, double cy, double radius, double stage);
// Centred text in the toy font with a dark outline; `size` in pixels.
void OutlinedText(cairo_t* cr, const std::string& utf8, double cx, double baseline, double size, Rgb fill, Rgb outline,
                  bool bold = true);
// Sets every pixel of an opaque surface from `shade`(x, y).
void PaintPixels(cairo_surface_t* surface, const std::function<Rgb(int x, int y)>& shade);
// Lays a soft cloud of `color` over the w x h target, shaped by fractal noise:
// transparent where the noise is below `threshold`, up to `alpha` above it.
void NoiseClouds(cairo_t* cr, int w, int h, uint64_t seed, int period, Rgb color, double alpha, double threshold);
// Makes a w x h opaque picture: `draw` paints it, then the edges are darkened,
// grain added and it is saved as JPEG bytes under `name`.
void SaveScene(Output& out, const std::string& name, int w, int h, uint64_t seed, double vignette,
               const std::function<void(cairo_t*, Rng&)>& draw);
// Adds fine grain so large gradients do not band and surfaces look less flat.
void Grain(cairo_surface_t* surface, uint64_t seed, double amount);

}  // namespace assetgen
