// The quiz's six monsters (112 x 136): each a different shape and colour, in a
// normal pose, a triumphant pose shown after a wrong answer, and a ten-frame
// death of its own built from the normal pose.
#include <cmath>
#include <functional>
#include <string>

#include "draw.h"
#include "generators.h"
#include "monster_deaths.h"

namespace assetgen {

namespace {

constexpr int kW = 112, kH = 136;

// An open or grinning mouth centred at (x, y) with a row of fangs on top.
void Mouth(cairo_t* cr, double x, double y, double w, double open, int teeth) {
  EllipsePath(cr, x, y, w, open);
  SetColor(cr, Hex(0x300408));
  cairo_fill_preserve(cr);
  SetColor(cr, Hex(0x100004));
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  if (open > 5) Blob(cr, x, y + open * 0.45, w * 0.5, open * 0.35, Hex(0xC03048), 0);  // tongue
  SetColor(cr, Hex(0xF6EED8));
  double step = 2 * w / (teeth + 1);
  for (int i = 1; i <= teeth; ++i) {
    double tx = x - w + i * step, top = y - open * 0.8;
    cairo_move_to(cr, tx - step * 0.4, top);
    cairo_line_to(cr, tx + step * 0.4, top);
    cairo_line_to(cr, tx, top + std::min(open, w) * 0.55 + 2);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
}

void Brows(cairo_t* cr, double x, double y, double spread, double anger) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetColor(cr, Hex(0x14060A));
  cairo_set_line_width(cr, 3);
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, x + side * spread * 1.6, y - anger);
    cairo_line_to(cr, x + side * spread * 0.3, y + anger);
  }
  cairo_stroke(cr);
}

// --- The six creatures. `win` is the triumphant pose. ---

void Imp(cairo_t* cr, bool win) {
  const Rgb skin = Hex(0xC0642A);
  for (double s : {-1.0, 1.0}) {  // legs
    Limb(cr, 56 + s * 10, 104, 56 + s * 16, 128, 9, skin.Darker(0.2));
    Blob(cr, 56 + s * 19, 130, 8, 4, skin.Darker(0.4), 1.2);
  }
  Blob(cr, 56, 92, 22, 22, skin, 1.8);
  for (double s : {-1.0, 1.0}) {  // shoulder spikes and arms
    Horn(cr, 56 + s * 18, 78, 56 + s * 34, 66, 4, Hex(0xE8D8B0));
    double hx = 56 + s * (win ? 38 : 34), hy = win ? 38 : 112;
    Limb(cr, 56 + s * 19, 84, hx, hy, 7, skin);
    Claw(cr, hx, hy, win ? -M_PI / 2 : M_PI / 2, 8, skin.Darker(0.3));
  }
  if (win) Glow(cr, 56 - 38, 32, 10, Hex(0xFFB020), 1);
  Blob(cr, 56, 52, 26, 23, skin, 1.8);
  for (double s : {-1.0, 1.0}) {
    Horn(cr, 56 + s * 12, 34, 56 + s * 28, 10, 5, Hex(0xEEE0C0));
    Horn(cr, 56 + s * 24, 52, 56 + s * 42, 44, 4, skin);  // pointed ears
    GlowEye(cr, 56 + s * 10, 48, 5.5, Hex(0xFFD020));
  }
  Brows(cr, 56, 40, 8, win ? 1 : 3);
  Mouth(cr, 56, 64, win ? 13 : 11, win ? 9 : 3, 6);
}

void Demon(cairo_t* cr, bool win) {
  const Rgb skin = Hex(0xE0708A);
  for (double s : {-1.0, 1.0}) {
    Limb(cr, 56 + s * 22, 112, 56 + s * 26, 128, 13, skin.Darker(0.25));
    double hx = 56 + s * (win ? 50 : 46), hy = win ? 50 : 112;
    Limb(cr, 56 + s * 36, 84, hx, hy, 12, skin);
    Claw(cr, hx, hy, win ? -M_PI / 2 : M_PI / 2, 7, skin.Darker(0.3));
  }
  Blob(cr, 56, 88, 42, 34, skin, 2);
  for (double s : {-1.0, 1.0}) Horn(cr, 56 + s * 16, 46, 56 + s * 24, 34, 5, Hex(0xD8C8A0));
  Blob(cr, 56, 66, 30, 24, skin, 2);
  for (double s : {-1.0, 1.0}) GlowEye(cr, 56 + s * 11, 56, 4, Hex(0xFFE060));
  Brows(cr, 56, 50, 7, 3);
  // The huge jaw hangs open, wider still in triumph.
  Mouth(cr, 56, win ? 86 : 82, 26, win ? 18 : 11, 8);
}

void Skelet(cairo_t* cr, bool win) {
  const Rgb bone = Hex(0xE6E0CC), metal = Hex(0x607080);
  for (double s : {-1.0, 1.0}) {
    Limb(cr, 56 + s * 10, 100, 56 + s * 14, 130, 5, bone);
    double hx = 56 + s * (win ? 40 : 30), hy = win ? 28 : 110;
    Limb(cr, 56 + s * 24, 62, hx, hy, 5, bone);
    Claw(cr, hx, hy, win ? -M_PI / 2 : M_PI / 2, 7, bone);
  }
  for (int i = 0; i < 4; ++i) {  // ribs
    cairo_move_to(cr, 40 + i, 70 + i * 8);
    cairo_curve_to(cr, 50, 64 + i * 8, 62, 64 + i * 8, 72 - i, 70 + i * 8);
  }
  DoubleStroke(cr, Hex(0x201810), 6, bone, 3.5);
  Limb(cr, 56, 60, 56, 102, 5, bone);  // spine
  for (double s : {-1.0, 1.0}) {       // armoured shoulder pods with red lights
    RoundedRectPath(cr, 56 + s * 28 - 10, 52, 20, 14, 4);
    ShadeAndOutline(cr, 56 + s * 28, 58, 12, metal, 1.6);
    Glow(cr, 56 + s * 28, 58, 4, Hex(0xFF3030), 1);
  }
  Blob(cr, 56, 36, 18, 20, bone, 1.8);
  RoundedRectPath(cr, 46, 46, 20, 12, 3);  // metal jaw
  ShadeAndOutline(cr, 56, 52, 12, metal, 1.4);
  if (win) Mouth(cr, 56, 56, 8, 6, 4);
  for (double s : {-1.0, 1.0}) {
    Blob(cr, 56 + s * 7, 34, 6, 6.5, Hex(0x100A0A), 0);
    GlowEye(cr, 56 + s * 7, 34, 3, Hex(0x40FF60));
  }
}

void Pain(cairo_t* cr, bool win) {
  const Rgb skin = Hex(0x8A40C0);
  for (int i = 0; i < 5; ++i) {  // dangling tentacles, curling up in triumph
    double x = 30 + i * 13, sway = (i - 2) * (win ? 8 : 3);
    cairo_move_to(cr, x, 80);
    cairo_curve_to(cr, x + sway, 96, x - sway, 112, x + sway * 1.5, win ? 112 : 130);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    DoubleStroke(cr, skin.Darker(0.8), 8, skin.Lighter(0.15), 5);
  }
  Blob(cr, 56, 58, 42, 34, skin, 2);
  Blob(cr, 56, 40, 22, 10, skin.Lighter(0.3), 0);  // sheen on the dome
  const double eyes[][3] = {{56, 52, 11}, {30, 56, 5}, {82, 56, 5}, {40, 38, 4}, {72, 38, 4}};
  for (const auto& e : eyes) Eye(cr, e[0], e[1], e[2], Hex(0xFF5020), 0, win ? -0.5 : 0.4);
  Mouth(cr, 56, 76, 16, win ? 9 : 4, 7);
}

void FlameHair(cairo_t* cr, double x, double y, double height) {
  for (int k = -2; k <= 2; ++k) {
    double bx = x + k * 7;
    cairo_move_to(cr, bx - 6, y);
    cairo_curve_to(cr, bx - 6, y - height * 0.5, bx + k * 2, y - height * 0.6, bx + k * 3,
                   y - height * (1 - std::abs(k) * 0.15));
    cairo_curve_to(cr, bx + 2, y - height * 0.4, bx + 6, y - height * 0.3, bx + 6, y);
    cairo_close_path(cr);
  }
  SetColor(cr, Hex(0xFF6010));
  cairo_fill(cr);
  Glow(cr, x, y - height * 0.3, height * 0.8, Hex(0xFFD040), 0.7);
}

void Vile(cairo_t* cr, bool win) {
  const Rgb skin = Hex(0xD8C878), robe = Hex(0x3A4A20);
  cairo_move_to(cr, 36, 130);  // long robe
  cairo_curve_to(cr, 38, 100, 44, 70, 56, 62);
  cairo_curve_to(cr, 68, 70, 74, 100, 76, 130);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 56, 96, 40, robe, 1.8);
  for (double s : {-1.0, 1.0}) {
    double hx = 56 + s * (win ? 44 : 40), hy = win ? 34 : 100;
    Limb(cr, 56 + s * 12, 70, 56 + s * 26, win ? 56 : 88, 5, skin);
    Limb(cr, 56 + s * 26, win ? 56 : 88, hx, hy, 4, skin);
    Glow(cr, hx, hy - 6, win ? 16 : 10, Hex(0xFF8020), 1);
    Claw(cr, hx, hy, -M_PI / 2, 6, skin);
  }
  FlameHair(cr, 56, 30, win ? 30 : 22);
  Blob(cr, 56, 42, 14, 19, skin, 1.6);
  for (double s : {-1.0, 1.0}) {
    Blob(cr, 56 + s * 6, 38, 4.5, 3.5, Hex(0x100808), 0);
    GlowEye(cr, 56 + s * 6, 38, 2.4, Hex(0xFFFFFF));
  }
  Mouth(cr, 56, 52, 6, win ? 6 : 2, 4);
}

void Cyber(cairo_t* cr, bool win) {
  const Rgb armour = Hex(0x70809A), skin = Hex(0x9A5040);
  for (double s : {-1.0, 1.0}) {
    Limb(cr, 56 + s * 16, 104, 56 + s * 22, 130, 12, armour.Darker(0.2));
  }
  Limb(cr, 30, 74, win ? 14 : 16, win ? 40 : 108, 12, skin);  // flesh arm
  Claw(cr, win ? 14 : 16, win ? 36 : 112, win ? -M_PI / 2 : M_PI / 2, 8, skin);
  RoundedRectPath(cr, 24, 62, 64, 48, 10);  // armoured chest
  ShadeAndOutline(cr, 56, 80, 40, armour, 2);
  Blob(cr, 56, 84, 8, 8, Hex(0x00A0FF), 1.2);
  Glow(cr, 56, 84, 14, Hex(0x40C0FF), 0.8);
  double gx = win ? 96 : 92, gy = win ? 40 : 112;  // the cannon arm
  Limb(cr, 82, 72, gx, gy, 14, armour.Darker(0.3));
  Blob(cr, gx, gy, 8, 8, Hex(0x303840), 1.6);
  if (win) Glow(cr, gx, gy - 8, 14, Hex(0xFF6020), 1);
  for (double s : {-1.0, 1.0}) Horn(cr, 56 + s * 14, 32, 56 + s * 34, 14, 5, Hex(0xE0D0B0));
  Blob(cr, 56, 44, 20, 19, skin, 1.8);
  RoundedRectPath(cr, 38, 30, 36, 14, 5);  // steel helmet band with a visor slit
  ShadeAndOutline(cr, 56, 36, 20, armour, 1.6);
  cairo_rectangle(cr, 42, 35, 28, 5);
  SetColor(cr, Hex(0xFF2020));
  cairo_fill(cr);
  Glow(cr, 56, 37, 18, Hex(0xFF2020), 0.6);
  Mouth(cr, 56, 54, 11, win ? 7 : 3, 6);
}

struct Monster {
  const char* name;
  Rgb mood;  // colour of the glow behind it
  std::function<void(cairo_t*, bool)> draw;
  Death death;
};

void Backdrop(cairo_t* cr, Rgb mood, bool triumph) {
  FillVertical(cr, kW, kH, Hex(0x0A0810), Hex(0x1A0A10));
  Glow(cr, kW / 2.0, kH * 0.45, kH * 0.7, triumph ? Hex(0xFF3010) : mood, triumph ? 0.75 : 0.45);
  if (triumph) {  // rays of hellfire behind a gloating monster
    for (int k = 0; k < 12; ++k) {
      double a = k * M_PI / 6;
      cairo_move_to(cr, kW / 2.0, kH * 0.45);
      cairo_arc(cr, kW / 2.0, kH * 0.45, kH, a, a + 0.2);
      cairo_close_path(cr);
    }
    SetColor(cr, Hex(0xFFA040), 0.18);
    cairo_fill(cr);
  }
  cairo_move_to(cr, 0, kH - 10);  // the ground it stands on
  cairo_curve_to(cr, kW * 0.3, kH - 16, kW * 0.7, kH - 6, kW, kH - 12);
  cairo_line_to(cr, kW, kH);
  cairo_line_to(cr, 0, kH);
  SetColor(cr, Hex(0x1A1012));
  cairo_fill(cr);
}

void Finish(Output& out, Canvas& c, const std::string& name, uint64_t seed) {
  Vignette(c.cr(), kW, kH, 0.5);
  Grain(c.surface(), seed, 0.01);
  out.SavePicture("Gfx/" + name + ".dat", c.surface(), PictureFormat::kPng);
}

void WriteMonster(Output& out, const Monster& m, uint64_t seed) {
  Canvas body(kW, kH, true);
  m.draw(body.cr(), false);
  Canvas normal(kW, kH);
  Backdrop(normal.cr(), m.mood, false);
  cairo_set_source_surface(normal.cr(), body.surface(), 0, 0);
  cairo_paint(normal.cr());
  Finish(out, normal, m.name, seed);

  Canvas win(kW, kH);
  Backdrop(win.cr(), m.mood, true);
  m.draw(win.cr(), true);
  Finish(out, win, std::string(m.name) + "f", seed + 1);

  for (int n = 1; n <= 10; ++n) {
    Canvas frame(kW, kH);
    Backdrop(frame.cr(), m.mood, false);
    DrawDeath(m.death, frame.cr(), body.surface(), kW, kH, (n - 1) / 9.0, seed + 10 + n);
    Finish(out, frame, std::string(m.name) + "d" + std::to_string(n), seed + 20 + n);
  }
}

}  // namespace

void MakeQuizMonsters(Output& out) {
  const Monster monsters[] = {
      {"Imp", Hex(0xC04010), Imp, Death::kBurn},        {"Demon", Hex(0xC02050), Demon, Death::kMelt},
      {"Skelet", Hex(0x20A050), Skelet, Death::kSplit}, {"Pain", Hex(0x7020C0), Pain, Death::kShrink},
      {"Vile", Hex(0xD08010), Vile, Death::kSparks},    {"Cyber", Hex(0x2060C0), Cyber, Death::kSmoke},
  };
  uint64_t seed = 700;
  for (const Monster& m : monsters) WriteMonster(out, m, seed += 50);
}

}  // namespace assetgen
