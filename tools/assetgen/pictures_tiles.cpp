// The memory game's tiles: nine faces, each a bold emblem on its own colour so
// pairs are found by colour and shape at a glance, and the shared tile back.
#include <cmath>
#include <functional>
#include <string>

#include "creatures.h"
#include "draw.h"
#include "generators.h"

namespace assetgen {

namespace {

constexpr int kTileW = 81, kTileH = 105;

// Bevelled card with a coloured face; the emblem is drawn afterwards in a
// 100 x 100 box centred on the card. The metal rim runs out to the square
// corners, so the card shows no dark notches on whatever lies behind it.
void TileFrame(cairo_t* cr, Rgb face) {
  SetLinearGradient(cr, 0, 0, kTileW, kTileH, {{0, Hex(0xD9D9E6)}, {0.5, Hex(0x77778A)}, {1, Hex(0x3A3A4A)}});
  cairo_paint(cr);
  RoundedRectPath(cr, 5, 5, kTileW - 10, kTileH - 10, 5);
  cairo_pattern_t* fill = cairo_pattern_create_radial(kTileW * 0.4, kTileH * 0.35, 4, kTileW / 2.0, kTileH / 2.0, 70);
  Rgb hi = face.Lighter(0.3), lo = face.Darker(0.7);
  cairo_pattern_add_color_stop_rgb(fill, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(fill, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

void Outlined(cairo_t* cr, Rgb fill, double width) {
  SetColor(cr, fill);
  cairo_fill_preserve(cr);
  SetColor(cr, Hex(0x0A0608));
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void Skull(cairo_t* cr) {
  Blob(cr, 50, 44, 28, 26, Hex(0xEDE6D0), 3);
  RoundedRectPath(cr, 34, 56, 32, 20, 6);
  ShadeAndOutline(cr, 50, 62, 20, Hex(0xEDE6D0), 3);
  for (double x : {39.0, 61.0}) Blob(cr, x, 46, 8, 9, Hex(0x200A18), 0);
  cairo_move_to(cr, 50, 53);
  cairo_line_to(cr, 46, 61);
  cairo_line_to(cr, 54, 61);
  cairo_close_path(cr);
  SetColor(cr, Hex(0x200A18));
  cairo_fill(cr);
  for (int i = 0; i < 3; ++i) {
    cairo_move_to(cr, 43 + i * 7, 66);
    cairo_line_to(cr, 43 + i * 7, 76);
  }
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

void Flame(cairo_t* cr) {
  auto tongue = [&](double scale, Rgb color) {
    cairo_save(cr);
    cairo_translate(cr, 50, 82);
    cairo_scale(cr, scale, scale);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, -30, 0, -34, -30, -14, -50);
    cairo_curve_to(cr, -14, -36, -6, -34, -4, -40);
    cairo_curve_to(cr, -8, -56, 4, -66, 6, -74);
    cairo_curve_to(cr, 14, -60, 34, -44, 26, -18);
    cairo_curve_to(cr, 22, -6, 14, 0, 0, 0);
    cairo_restore(cr);
    Outlined(cr, color, scale > 0.9 ? 3 : 0.01);
  };
  Glow(cr, 50, 55, 45, Hex(0xFF8000), 0.6);
  tongue(1.0, Hex(0xFF5A10));
  tongue(0.62, Hex(0xFFD040));
}

void Bolt(cairo_t* cr) {
  Glow(cr, 50, 50, 45, Hex(0x80C0FF), 0.6);
  PolygonPath(cr, {58, 8, 28, 54, 48, 54, 38, 92, 74, 42, 54, 42, 66, 8});
  Outlined(cr, Hex(0xFFF060), 3);
}

void BigEye(cairo_t* cr) {
  cairo_move_to(cr, 10, 50);
  cairo_curve_to(cr, 30, 20, 70, 20, 90, 50);
  cairo_curve_to(cr, 70, 80, 30, 80, 10, 50);
  cairo_close_path(cr);
  Outlined(cr, Hex(0xF6F0E0), 3);
  Blob(cr, 50, 50, 17, 17, Hex(0x20C060), 2);
  Blob(cr, 50, 50, 6, 15, Hex(0x081008), 0);
  Blob(cr, 44, 43, 4, 4, Hex(0xFFFFFF), 0);
}

void RingedPlanet(cairo_t* cr) {
  auto ring = [&](bool front) {
    cairo_save(cr);
    cairo_translate(cr, 50, 52);
    cairo_rotate(cr, -0.35);
    cairo_scale(cr, 44, 12);
    cairo_arc(cr, 0, 0, 1, front ? 0 : M_PI, front ? M_PI : 2 * M_PI);
    cairo_restore(cr);
    DoubleStroke(cr, Hex(0x0A0608), 7, Hex(0xF0C070), 4);
  };
  ring(false);
  Blob(cr, 50, 52, 25, 25, Hex(0xE07030), 3);
  ring(true);
}

void Rocket(cairo_t* cr) {
  Glow(cr, 50, 88, 16, Hex(0xFFA020), 1);
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, 50 + side * 12, 54);
    cairo_line_to(cr, 50 + side * 26, 78);
    cairo_line_to(cr, 50 + side * 12, 74);
    cairo_close_path(cr);
    Outlined(cr, Hex(0xE03030), 2.5);
  }
  cairo_move_to(cr, 50, 8);
  cairo_curve_to(cr, 70, 26, 66, 60, 60, 80);
  cairo_line_to(cr, 40, 80);
  cairo_curve_to(cr, 34, 60, 30, 26, 50, 8);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 50, 44, 30, Hex(0xD8DCE8), 3);
  Blob(cr, 50, 40, 7, 7, Hex(0x40A0FF), 2);
}

void Crystal(cairo_t* cr) {
  Glow(cr, 50, 50, 44, Hex(0x40FFFF), 0.5);
  PolygonPath(cr, {50, 8, 78, 38, 64, 90, 50, 94, 36, 90, 22, 38});
  Outlined(cr, Hex(0x50D8F0), 3);
  cairo_move_to(cr, 22, 38);  // facets
  cairo_line_to(cr, 78, 38);
  cairo_move_to(cr, 50, 8);
  cairo_line_to(cr, 40, 38);
  cairo_line_to(cr, 50, 94);
  cairo_line_to(cr, 60, 38);
  cairo_close_path(cr);
  SetColor(cr, Hex(0xE0FFFF), 0.8);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
}

void Radiation(cairo_t* cr) {
  Blob(cr, 50, 50, 40, 40, Hex(0xFFD020), 3);
  SetColor(cr, Hex(0x14100A));
  for (int k = 0; k < 3; ++k) {
    double a = -M_PI / 2 + k * 2 * M_PI / 3;
    cairo_move_to(cr, 50, 50);
    cairo_arc(cr, 50, 50, 33, a - 0.5, a + 0.5);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  Blob(cr, 50, 50, 9, 9, Hex(0xFFD020), 3);
  Blob(cr, 50, 50, 5, 5, Hex(0x14100A), 0);
}

void Flyer(cairo_t* cr) {
  cairo_translate(cr, 2, 6);
  DrawFlyer(cr, 96, false);
}

struct TileFace {
  Rgb color;
  std::function<void(cairo_t*)> emblem;
};

}  // namespace

void MakeTiles(Output& out) {
  const TileFace faces[] = {
      {Hex(0x6A2A8A), Skull},   {Hex(0x8A1A10), Flame},        {Hex(0x1A3A9A), Bolt},
      {Hex(0x107A70), BigEye},  {Hex(0x0E1E4A), RingedPlanet}, {Hex(0x3A3A60), Rocket},
      {Hex(0x4A1060), Crystal}, {Hex(0x2A5A1A), Radiation},    {Hex(0xC05070), Flyer},
  };
  for (int i = 0; i < 9; ++i) {
    Canvas c(kTileW, kTileH);
    TileFrame(c.cr(), faces[i].color);
    cairo_translate(c.cr(), (kTileW - 78) / 2.0, (kTileH - 78) / 2.0);
    cairo_scale(c.cr(), 0.78, 0.78);
    faces[i].emblem(c.cr());
    out.SavePicture("Gfx/Tel" + std::to_string(i + 1) + ".jpg", c.surface(), PictureFormat::kJpeg);
  }
  Canvas back(kTileW, kTileH);
  cairo_t* cr = back.cr();
  TileFrame(cr, Hex(0x2A2430));
  for (int k = 0; k < 12; ++k) {  // diagonal hatching
    cairo_move_to(cr, -20 + k * 12, 6);
    cairo_line_to(cr, -20 + k * 12 + 60, kTileH - 6);
  }
  SetColor(cr, Hex(0x000000), 0.25);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  Glow(cr, kTileW / 2.0, kTileH / 2.0, 30, Hex(0xFF2040), 0.5);
  OutlinedText(cr, "V", kTileW / 2.0, kTileH / 2.0 + 14, 40, Hex(0xFF4050), Hex(0x200408));
  out.SavePicture("Gfx/Blank.dat", back.surface(), PictureFormat::kPng);
}

}  // namespace assetgen
