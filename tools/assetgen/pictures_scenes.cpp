// The quiz's scenes: the map of seven places joined by a route, the last
// level's fortress, and the full-screen pictures of a lost and a won game.
#include <array>
#include <cmath>
#include <functional>

#include "draw.h"
#include "generators.h"
#include "noise.h"

namespace assetgen {

namespace {

// Centres of the seven place icons: under the level markers (their top-left
// corners plus half a marker), except the last, which sits below its marker
// to stay clear of the place names written across the top of the map.
constexpr double kPlaces[7][2] = {{368, 416}, {296, 352}, {136, 296}, {472, 256}, {240, 224}, {360, 120}, {144, 116}};

// Scorched ground seen from above: hills lit from the upper left, lava in the cracks.
void MapTerrain(cairo_surface_t* surface) {
  FractalNoise hills(61, 3, 6, 0.5), cracks(62, 4, 4, 0.5);
  auto height = [&](double u, double v) { return hills.At(u, v); };
  PaintPixels(surface, [&](int x, int y) {
    double u = x / 640.0, v = y / 640.0, e = 1.5 / 640;
    double h = height(u, v);
    double light = (height(u - e, v - e) - height(u + e, v + e)) * 30;
    Rgb ground = Hex(0x3A2A26).Mix(Hex(0x5A3A2A), h + 0.5).Scaled(0.9 + light * 0.5);
    double lava = std::max(0.0, 1 - std::abs(cracks.At(u, v)) * 30);
    ground = ground.Mix(Hex(0xE05010), lava * 0.7);
    double top_shade = std::clamp((y - 50) / 50.0, 0.3, 1.0);  // calm band for the place name
    return ground.Scaled(top_shade);
  });
}

void Route(cairo_t* cr) {
  cairo_move_to(cr, kPlaces[0][0], kPlaces[0][1]);
  for (int i = 1; i < 7; ++i) {
    double x0 = kPlaces[i - 1][0], y0 = kPlaces[i - 1][1], x1 = kPlaces[i][0], y1 = kPlaces[i][1];
    double bend = (i % 2 ? 1 : -1) * 30;
    cairo_curve_to(cr, x0 + (x1 - x0) * 0.3 + bend, y0 + (y1 - y0) * 0.3, x0 + (x1 - x0) * 0.7 - bend,
                   y0 + (y1 - y0) * 0.7, x1, y1);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  const double dash[] = {9, 7};
  SetColor(cr, Hex(0xFFD060), 0.2);
  cairo_set_line_width(cr, 10);
  cairo_stroke_preserve(cr);
  cairo_set_dash(cr, dash, 2, 0);
  SetColor(cr, Hex(0xFFE8A0), 0.9);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

// --- Place icons, each drawn around (0, 0) within about 30 pixels. ---

void PowerStation(cairo_t* cr) {
  cairo_move_to(cr, -18, 20);
  cairo_curve_to(cr, -10, 0, -10, -10, -14, -22);
  cairo_line_to(cr, 14, -22);
  cairo_curve_to(cr, 10, -10, 10, 0, 18, 20);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 0, 0, 22, Hex(0x8A8A98), 2);
  Glow(cr, 0, -26, 16, Hex(0xFFE040), 0.8);
}

void ControlCenter(cairo_t* cr) {
  cairo_arc(cr, 0, 8, 22, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 0, 0, 22, Hex(0x4A90B0), 2);
  Limb(cr, 0, -14, 8, -28, 2.5, Hex(0xA0A8B8));
  Glow(cr, 8, -28, 8, Hex(0x40E0FF), 1);
  for (int i = -1; i <= 1; ++i) Blob(cr, i * 10, 0, 3, 3, Hex(0x80F0FF), 0);
}

void HellLabs(cairo_t* cr) {
  RoundedRectPath(cr, -22, -12, 44, 30, 3);
  ShadeAndOutline(cr, 0, 0, 24, Hex(0x5A6A50), 2);
  for (int i = -1; i <= 1; ++i) {
    Blob(cr, i * 13, -18, 5, 9, Hex(0x40FF60), 1.5);
    Glow(cr, i * 13, -18, 12, Hex(0x40FF60), 0.5);
  }
}

void CentralProcessing(cairo_t* cr) {
  for (int i = -2; i <= 2; ++i) {
    for (double s : {-1.0, 1.0}) {
      cairo_move_to(cr, i * 8, s * 16);
      cairo_line_to(cr, i * 8, s * 26);
      cairo_move_to(cr, s * 16, i * 8);
      cairo_line_to(cr, s * 26, i * 8);
    }
  }
  SetColor(cr, Hex(0xC0C8D0));
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundedRectPath(cr, -18, -18, 36, 36, 4);
  ShadeAndOutline(cr, 0, 0, 20, Hex(0x2050A0), 2);
  Glow(cr, 0, 0, 12, Hex(0x60C0FF), 0.9);
}

void Gotcha(cairo_t* cr) {
  Blob(cr, 0, 4, 26, 16, Hex(0x200808), 2);
  Glow(cr, 0, 4, 20, Hex(0xFF2010), 0.8);
  for (int i = 0; i < 8; ++i) {
    double a = i * M_PI / 4;
    Horn(cr, 20 * std::cos(a), 4 + 12 * std::sin(a), 24 * std::cos(a), -10 + 14 * std::sin(a), 3, Hex(0xD8D0C0));
  }
}

void PhobosAnomaly(cairo_t* cr) {
  Glow(cr, 0, 0, 30, Hex(0xA040FF), 0.8);
  for (int k = 0; k < 4; ++k) {
    cairo_arc(cr, 0, 0, 8 + k * 5, k * 1.3, k * 1.3 + 4.2);
    SetColor(cr, Hex(0xE0A0FF).Mix(Hex(0x6020C0), k / 3.0));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
  }
  Glow(cr, 0, 0, 8, Hex(0xFFFFFF), 1);
}

// The fortress face of the final place; `scale` 1 is a map icon.
void FortressFace(cairo_t* cr, double scale) {
  cairo_save(cr);
  cairo_scale(cr, scale, scale);
  for (double s : {-1.0, 1.0}) Horn(cr, s * 14, -14, s * 30, -34, 5, Hex(0xE0D0B0));
  cairo_move_to(cr, -26, 22);
  cairo_line_to(cr, -24, -14);
  cairo_curve_to(cr, -14, -24, 14, -24, 24, -14);
  cairo_line_to(cr, 26, 22);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 0, 0, 28, Hex(0x8A3A2A), 2);
  for (double s : {-1.0, 1.0}) GlowEye(cr, s * 10, -6, 4.5, Hex(0xFFD020));
  EllipsePath(cr, 0, 10, 10, 7);
  SetColor(cr, Hex(0x200404));
  cairo_fill(cr);
  Glow(cr, 0, 12, 10, Hex(0xFF5010), 1);
  cairo_restore(cr);
}

void IconOfSin(cairo_t* cr) { FortressFace(cr, 1); }

void QuizMap(Output& out) {
  Canvas c(640, 480);
  cairo_t* cr = c.cr();
  MapTerrain(c.surface());
  Route(cr);
  const std::function<void(cairo_t*)> icons[7] = {PowerStation, ControlCenter, HellLabs, CentralProcessing,
                                                  Gotcha,       PhobosAnomaly, IconOfSin};
  for (int i = 0; i < 7; ++i) {
    Glow(cr, kPlaces[i][0], kPlaces[i][1] + 6, 40, Hex(0x000000), 0.6);
    cairo_save(cr);
    cairo_translate(cr, kPlaces[i][0], kPlaces[i][1]);
    icons[i](cr);
    cairo_restore(cr);
  }
  Vignette(cr, 640, 480, 0.5);
  out.SavePicture("Enterin.jpg", c.surface(), PictureFormat::kJpeg);
}

// Stone blocks filling the rectangle, each block shaded a little differently.
void BlockWall(cairo_t* cr, Rng& rng, double x0, double y0, double w, double h, Rgb stone) {
  const double bw = 34, bh = 18;
  for (int row = 0; row * bh < h; ++row) {
    for (double x = x0 - (row % 2) * bw / 2; x < x0 + w; x += bw) {
      cairo_rectangle(cr, x + 1, y0 + row * bh + 1, bw - 2, bh - 2);
      SetColor(cr, stone.Scaled(rng.Range(0.75, 1.1)));
      cairo_fill(cr);
    }
  }
}

void FinalFortress(Output& out) {
  const int w = 551, h = 249;
  SaveScene(out, "Gfx/ios.dat", w, h, 71, 0.6, [](cairo_t* cr, Rng& rng) {
    FillVertical(cr, w, h, Hex(0x200408), Hex(0x8A1A08));
    NoiseClouds(cr, w, h, 72, 4, Hex(0xFF6020), 0.35, 0.1);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 110, w, h - 110);
    cairo_clip(cr);
    BlockWall(cr, rng, 0, 110, w, h - 110, Hex(0x4A2A24));
    cairo_restore(cr);
    Glow(cr, w / 2.0, 140, 170, Hex(0xFF3000), 0.6);
    cairo_save(cr);
    cairo_translate(cr, w / 2.0, 132);
    FortressFace(cr, 3.6);
    cairo_restore(cr);
    for (double s : {-1.0, 1.0}) {  // towers flanking the face
      for (int k = 0; k < 2; ++k) {
        double x = w / 2.0 + s * (150 + k * 90);
        RoundedRectPath(cr, x - 22, 70 + k * 20, 44, h, 4);
        ShadeAndOutline(cr, x, 150, 50, Hex(0x3A2220), 2);
        Horn(cr, x, 72 + k * 20, x, 40 + k * 20, 14, Hex(0x2A1614));
        GlowEye(cr, x, 120 + k * 20, 5, Hex(0xFFB020));
      }
    }
  });
}

// A great horned head rising over the horizon: its horns and burning eyes sit
// above the end panel's place, the rest of it is a dark mass behind the panel.
// A point on the quadratic curve from a through b to c at t.
double Bend(double a, double b, double c, double t) { return (1 - t) * (1 - t) * a + 2 * (1 - t) * t * b + t * t * c; }

// A great horn curving up from its base at (x, y) through (bx, by) to its tip at
// (tx, ty): rounded by light along its upper edge, ringed with ridges.
void RidgedHorn(cairo_t* cr, double x, double y, double bx, double by, double tx, double ty, double width, Rgb color) {
  constexpr int kSteps = 32;
  double left[kSteps + 1][2], right[kSteps + 1][2];
  for (int i = 0; i <= kSteps; ++i) {
    double t = double(i) / kSteps, px = Bend(x, bx, tx, t), py = Bend(y, by, ty, t);
    double dx = 2 * (1 - t) * (bx - x) + 2 * t * (tx - bx), dy = 2 * (1 - t) * (by - y) + 2 * t * (ty - by);
    double len = std::hypot(dx, dy), half = width * std::pow(1 - t, 0.8);
    left[i][0] = px - dy / len * half, left[i][1] = py + dx / len * half;
    right[i][0] = px + dy / len * half, right[i][1] = py - dx / len * half;
  }
  auto outline = [&] {
    cairo_move_to(cr, left[0][0], left[0][1]);
    for (int i = 1; i <= kSteps; ++i) cairo_line_to(cr, left[i][0], left[i][1]);
    for (int i = kSteps; i >= 0; --i) cairo_line_to(cr, right[i][0], right[i][1]);
    cairo_close_path(cr);
  };
  outline();
  SetLinearGradient(cr, x, y - width, x, y + width, {{0, color.Lighter(0.35)}, {0.5, color}, {1, color.Darker(0.6)}});
  cairo_fill(cr);
  cairo_save(cr);
  outline();
  cairo_clip(cr);
  for (int i = 2; i < kSteps - 4; i += 3) {  // growth rings
    cairo_move_to(cr, left[i][0], left[i][1]);
    cairo_line_to(cr, right[i][0], right[i][1]);
  }
  SetColor(cr, color.Darker(0.55), 0.8);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  for (int i = 0; i < kSteps; ++i)  // the shine along one flank
    cairo_line_to(cr, left[i][0] * 0.75 + right[i][0] * 0.25, left[i][1] * 0.75 + right[i][1] * 0.25);
  SetColor(cr, color.Lighter(0.6), 0.6);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  cairo_restore(cr);
  outline();
  SetColor(cr, Hex(0x140608));
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
}

void LoomingDemon(cairo_t* cr, double cx) {
  for (double s : {-1.0, 1.0}) RidgedHorn(cr, cx + s * 60, 82, cx + s * 190, 90, cx + s * 170, 8, 30, Hex(0x8A6A58));
  Glow(cr, cx, 190, 185, Hex(0xFF5020), 0.5);  // the fire behind it lights its rim
  EllipsePath(cr, cx, 190, 150, 150);
  ShadeAndOutline(cr, cx, 190, 150, Hex(0x6A2418), 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (double s : {-1.0, 1.0}) {
    cairo_move_to(cr, cx + s * 100, 70);  // angry brows
    cairo_line_to(cr, cx + s * 22, 98);
    SetColor(cr, Hex(0x0A0204));
    cairo_set_line_width(cr, 12);
    cairo_stroke(cr);
    Glow(cr, cx + s * 55, 108, 60, Hex(0xFF3010), 0.6);
    GlowEye(cr, cx + s * 55, 108, 20, Hex(0xFFC020));
  }
}

// The victory banner: a pole standing up from (0, 0) with its flag at the top.
void VictoryBanner(cairo_t* cr, Rgb pole, Rgb cloth, Rgb letter) {
  Limb(cr, 0, 0, 0, -160, 5, pole);
  cairo_move_to(cr, 3, -158);
  cairo_curve_to(cr, 40, -168, 60, -138, 100, -150);
  cairo_line_to(cr, 100, -100);
  cairo_curve_to(cr, 60, -88, 40, -118, 3, -108);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 50, -130, 50, cloth, 2);
  OutlinedText(cr, "V", 52, -114, 36, letter, cloth.Darker(0.7));
}

// The won game's banner knocked over: its pole leans low over the plain from where
// it stuck in the ground, the cloth hangs limp from the pole's top with its letter
// upright, and its lower corner burns.
void FallenBanner(cairo_t* cr, Rng& rng) {
  const double base_x = 430, base_y = 466, tip_x = 250, tip_y = 372;
  const double hold_x = tip_x + (base_x - tip_x) * 0.42, hold_y = tip_y + (base_y - tip_y) * 0.42;
  Limb(cr, base_x, base_y, tip_x, tip_y, 5, Hex(0x8A9098));
  const Rgb cloth = Hex(0x9A1822);
  cairo_move_to(cr, tip_x, tip_y);
  cairo_line_to(cr, hold_x, hold_y);
  cairo_curve_to(cr, hold_x + 6, hold_y + 20, hold_x - 4, hold_y + 40, hold_x + 2, hold_y + 58);
  cairo_curve_to(cr, hold_x - 20, hold_y + 48, tip_x + 40, tip_y + 96, tip_x + 8, tip_y + 84);
  cairo_curve_to(cr, tip_x - 2, tip_y + 60, tip_x + 6, tip_y + 30, tip_x, tip_y);
  cairo_close_path(cr);
  ShadeAndOutline(cr, (tip_x + hold_x) / 2, tip_y + 40, 50, cloth, 2);
  OutlinedText(cr, "V", (tip_x + hold_x) / 2 + 2, tip_y + 58, 34, Hex(0x8A7030), cloth.Darker(0.7));
  Glow(cr, tip_x + 14, tip_y + 84, 30, Hex(0xFF6010), 0.7);
  Explosion(cr, rng, tip_x + 14, tip_y + 82, 13, 1.2);
}

// A river of lava along a curve (start, two controls, end): it widens toward the
// viewer, swells and narrows along its way, and its glowing core brightens and dims.
void LavaRiver(cairo_t* cr, const std::array<double, 8>& c, double size, double phase) {
  constexpr int kSteps = 48;
  auto at = [&c](double t, int axis) {
    double u = 1 - t;
    return u * u * u * c[axis] + 3 * u * u * t * c[2 + axis] + 3 * u * t * t * c[4 + axis] + t * t * t * c[6 + axis];
  };
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int layer = 0; layer < 2; ++layer) {
    for (int i = 0; i < kSteps; ++i) {
      double t0 = double(i) / kSteps, t1 = double(i + 1) / kSteps;
      double swell = 0.65 + 0.35 * std::sin(t0 * 11 + phase) + 0.15 * std::sin(t0 * 29 + phase * 2);
      double width = size * (6 + 28 * t0) * swell;
      double heat = 0.55 + 0.45 * std::sin(t0 * 7 + phase * 1.3);
      cairo_move_to(cr, at(t0, 0), at(t0, 1));
      cairo_line_to(cr, at(t1, 0), at(t1, 1));
      if (layer == 0) {
        SetColor(cr, Hex(0x8A1804).Mix(Hex(0xD83A0A), heat));
        cairo_set_line_width(cr, width + 3);
      } else {
        SetColor(cr, Hex(0xFF7A18).Mix(Hex(0xFFF0A0), heat), 0.5 + 0.5 * heat);
        cairo_set_line_width(cr, width * (0.25 + 0.3 * heat));
      }
      cairo_stroke(cr);
    }
  }
}

void LostGame(Output& out) {
  const int w = 665, h = 481;
  SaveScene(out, "Gfx/End2.dat", w, h, 81, 0.45, [](cairo_t* cr, Rng& rng) {
    SetLinearGradient(cr, 0, 0, 0, 330, {{0, Hex(0x2A0810)}, {0.55, Hex(0x8A1E16)}, {1, Hex(0xFF7A30)}});
    cairo_paint(cr);
    NoiseClouds(cr, w, 320, 82, 3, Hex(0x3A0608), 0.55, 0.05);
    NoiseClouds(cr, w, 320, 83, 5, Hex(0xFFA050), 0.25, 0.3);
    Glow(cr, w / 2.0, 320, 300, Hex(0xFFB040), 0.6);  // the sky burning at the horizon
    LoomingDemon(cr, w / 2.0);
    MountainRange(cr, rng, w, h, 330, 40, Hex(0x4A1410), Hex(0x1A0606));
    // Scorched plain with rivers of lava winding toward the viewer.
    SetLinearGradient(cr, 0, 330, 0, h, {{0, Hex(0x4A2418)}, {1, Hex(0x8A4428)}});
    cairo_rectangle(cr, 0, 336, w, h - 336);
    cairo_fill(cr);
    LavaRiver(cr, {210, 336, 50, 380, 250, 420, 130, h}, 1.0, 0.0);
    LavaRiver(cr, {540, 336, 380, 380, 580, 420, 460, h}, 0.6, 1.7);
    LavaRiver(cr, {330, 338, 300, 352, 250, 360, 170, 392}, 0.4, 3.1);  // a side arm
    for (int i = 0; i < 7; ++i) {                                       // fires across the plain
      double x = rng.Range(300, w - 20), y = rng.Range(350, 470), r = rng.Range(10, 18);
      Glow(cr, x, y, r * 3, Hex(0xFF5010), 0.5);
      Explosion(cr, rng, x, y, r, 1.2);
    }
    FallenBanner(cr, rng);
  });
}

void Firework(cairo_t* cr, Rng& rng, double x, double y, double r, Rgb color) {
  Glow(cr, x, y, r * 1.3, color, 0.35);
  for (int k = 0; k < 18; ++k) {
    double a = k * M_PI / 9 + rng.Range(0, 0.2), len = r * rng.Range(0.7, 1.0);
    cairo_move_to(cr, x + std::cos(a) * len * 0.3, y + std::sin(a) * len * 0.3);
    cairo_line_to(cr, x + std::cos(a) * len, y + std::sin(a) * len);
  }
  SetColor(cr, color.Lighter(0.4));
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void WonGame(Output& out) {
  const int w = 665, h = 481;
  SaveScene(out, "Gfx/Win2.dat", w, h, 91, 0.5, [](cairo_t* cr, Rng& rng) {
    SetLinearGradient(cr, 0, 0, 0, 380, {{0, Hex(0x0F1440)}, {0.6, Hex(0x8C4073)}, {1, Hex(0xFFBF59)}});
    cairo_paint(cr);
    Stars(cr, rng, w, 160, 80);
    Glow(cr, w / 2.0, 380, 260, Hex(0xFFD080), 0.8);  // the sun rising
    Firework(cr, rng, 120, 90, 50, Hex(0x40FF80));
    Firework(cr, rng, 540, 70, 60, Hex(0xFF60C0));
    Firework(cr, rng, 420, 150, 40, Hex(0x60C0FF));
    MountainRange(cr, rng, w, h, 370, 80, Hex(0x6A4A70), Hex(0x3A2A48));
    MountainRange(cr, rng, w, h, 420, 50, Hex(0x2A1A30), Hex(0x100A14));
    // The victory banner planted on the hill.
    cairo_translate(cr, 330, 460);
    VictoryBanner(cr, Hex(0xC0C8D0), Hex(0xE02030), Hex(0xFFE060));
    cairo_identity_matrix(cr);
  });
}

}  // namespace

void MakeQuizScenes(Output& out) {
  QuizMap(out);
  FinalFortress(out);
  LostGame(out);
  WonGame(out);
}

}  // namespace assetgen
