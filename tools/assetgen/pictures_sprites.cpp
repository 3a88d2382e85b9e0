// Small pictures the game's forms hold: the shooter's sprites, the mouse
// pointers and the quiz map's level markers.
#include <cmath>
#include <string>

#include "creatures.h"
#include "draw.h"
#include "generators.h"

namespace assetgen {

namespace {

// A bat wing reaching out to one side (`side` -1 left, +1 right), in 100-unit space.
void Wing(cairo_t* cr, double side, double lift) {
  cairo_move_to(cr, 50 + side * 22, 46);
  cairo_curve_to(cr, 50 + side * 40, 20 - lift, 50 + side * 52, 24 - lift, 50 + side * 49, 34 - lift);
  cairo_curve_to(cr, 50 + side * 44, 40, 50 + side * 46, 48, 50 + side * 40, 56);
  cairo_curve_to(cr, 50 + side * 36, 52, 50 + side * 30, 58, 50 + side * 24, 60);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 50 + side * 38, 38, 22, Hex(0x6A1A5A), 2.5);
}

void Horn(cairo_t* cr, double side) {
  cairo_move_to(cr, 50 + side * 14, 22);
  cairo_curve_to(cr, 50 + side * 20, 8, 50 + side * 26, 4, 50 + side * 34, 2);
  cairo_curve_to(cr, 50 + side * 28, 10, 50 + side * 26, 16, 50 + side * 24, 26);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 50 + side * 24, 14, 12, Hex(0xE8D8B0), 2);
}

}  // namespace

void DrawFlyer(cairo_t* cr, double size, bool firing) {
  cairo_save(cr);
  cairo_scale(cr, size / 100, size / 100);
  Wing(cr, -1, firing ? 8 : 0);
  Wing(cr, 1, firing ? 8 : 0);
  Horn(cr, -1);
  Horn(cr, 1);
  Blob(cr, 50, 52, 33, 31, Hex(0xD0203A), 3);
  // Mouth: a toothy grin, or wide open with fire inside when firing.
  double open = firing ? 16 : 5;
  EllipsePath(cr, 50, 68, 20, open);
  SetColor(cr, Hex(0x2A0408));
  cairo_fill_preserve(cr);
  if (firing) {
    cairo_save(cr);
    cairo_clip(cr);
    Glow(cr, 50, 70, 20, Hex(0xFFD040), 1);
    Glow(cr, 50, 70, 9, Hex(0xFFFFE0), 1);
    cairo_restore(cr);
  }
  cairo_new_path(cr);
  SetColor(cr, Hex(0xF8F0DA));
  for (int i = -3; i <= 3; ++i) {  // upper fangs
    double x = 50 + i * 5.2;
    cairo_move_to(cr, x - 2.4, 68 - open * 0.85);
    cairo_line_to(cr, x + 2.4, 68 - open * 0.85);
    cairo_line_to(cr, x, 68 - open * 0.85 + 5);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  // One big eye; angry brows when firing.
  if (firing) {
    GlowEye(cr, 50, 40, 11, Hex(0xFF8020));
  } else {
    Eye(cr, 50, 40, 11, Hex(0x30E060), 0, 0.3);
  }
  cairo_move_to(cr, 34, firing ? 26 : 24);
  cairo_line_to(cr, 50, firing ? 33 : 27);
  cairo_line_to(cr, 66, firing ? 26 : 24);
  SetColor(cr, Hex(0x3A0410));
  cairo_set_line_width(cr, firing ? 4.5 : 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_restore(cr);
}

namespace {

void SaveSprite(Output& out, const Canvas& c, const std::string& name) {
  out.SavePicture("Res/" + name + ".png", c.surface(), PictureFormat::kPng);
}

// Dark shards of whatever burst, flung out from the centre with glowing edges.
void Debris(cairo_t* cr, Rng& rng, double cx, double cy, double reach, double alpha) {
  for (int i = 0; i < 9; ++i) {
    double a = rng.Range(0, 2 * M_PI), d = reach * rng.Range(0.55, 1.0), s = rng.Range(1.4, 2.6);
    double x = cx + d * std::cos(a), y = cy + d * std::sin(a), turn = rng.Range(0, M_PI);
    PolygonPath(
        cr, {x + s * std::cos(turn), y + s * std::sin(turn), x + s * std::cos(turn + 2.3), y + s * std::sin(turn + 2.3),
             x + s * 0.6 * std::cos(turn + 4.1), y + s * 0.6 * std::sin(turn + 4.1)});
    SetColor(cr, Hex(0x2A2426), alpha);
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xFF9030), alpha * 0.8);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
  }
}

// Light smoke rolling up over the dark stone of the panels, embers in it.
void SmokeCloud(cairo_t* cr, Rng& rng, double cx, double cy, double radius) {
  const double puffs[][3] = {{-0.45, 0.25, 0.42}, {0.42, 0.22, 0.45}, {0, 0.05, 0.55},
                             {-0.25, -0.4, 0.45}, {0.3, -0.45, 0.4},  {0, -0.75, 0.32}};
  for (const auto& p : puffs) {  // a dark rim first, so the cloud keeps its outline on any backdrop
    EllipsePath(cr, cx + p[0] * radius, cy + p[1] * radius, p[2] * radius + 1.5, p[2] * radius + 1.5);
    SetColor(cr, Hex(0x141014), 0.8);
    cairo_fill(cr);
  }
  for (const auto& p : puffs)
    Blob(cr, cx + p[0] * radius, cy + p[1] * radius, p[2] * radius, p[2] * radius, Hex(0xA8A0A0), 0);
  for (int i = 0; i < 6; ++i) {
    double x = cx + rng.Range(-0.6, 0.6) * radius, y = cy + rng.Range(-0.2, 0.6) * radius;
    Glow(cr, x, y, rng.Range(2.5, 4.5), Hex(0xFF7020), 0.9);
  }
}

// One moment of the shooter's death animation, shared by the flying monsters
// and the cannon on the ground: a flash, a fireball throwing out debris, then
// smoke. Centred high in the frame, so the cannon's blast shows above the
// status bar that hides the bottom of its picture.
void Blast(cairo_t* cr, Rng& rng, double progress) {
  const double cx = 24, cy = 20;
  if (progress < 0.3) {
    Glow(cr, cx, cy, 22, Hex(0xFFF0C0), 0.9);
    Explosion(cr, rng, cx, cy, 16, 0.3);
    Debris(cr, rng, cx, cy, 12, 1);
  } else if (progress < 0.7) {
    Explosion(cr, rng, cx, cy, 21, 1.0);
    Debris(cr, rng, cx, cy, 20, 0.9);
  } else {
    Explosion(cr, rng, cx, cy, 20, 1.8);
    Debris(cr, rng, cx, cy + 4, 21, 0.5);
  }
}

void Flyers(Output& out) {
  Canvas normal(48, 48, true), firing(48, 48, true);
  DrawFlyer(normal.cr(), 48, false);
  DrawFlyer(firing.cr(), 48, true);
  SaveSprite(out, normal, "Caco");
  SaveSprite(out, firing, "CacoFire");
  // The game shows CacoDie3 first and CacoDie1 last.
  const double progress[3] = {0.92, 0.5, 0.12};
  for (int i = 0; i < 3; ++i) {
    Canvas die(48, 48, true);
    Rng rng(500 + i);
    Blast(die.cr(), rng, progress[i]);
    SaveSprite(out, die, "CacoDie" + std::to_string(i + 1));
  }
  // The level panel's frames: a burst, a bigger burst, then smoke.
  for (int i = 0; i < 2; ++i) {
    Canvas panel(48, 48, true);
    Rng rng(510 + i);
    Explosion(panel.cr(), rng, 24, 24, 22, i == 0 ? 0.25 : 1.0);
    SaveSprite(out, panel, "Panel" + std::to_string(i + 1));
  }
  Canvas smoke(48, 48, true);
  Rng rng(512);
  SmokeCloud(smoke.cr(), rng, 24, 27, 19);
  SaveSprite(out, smoke, "Panel3");
}

// The cannon keeps all of itself in the top 38 rows: the screen stretches the
// picture to 50 pixels and the status bar covers its bottom 10.
void CannonSprite(Output& out) {
  Canvas c(48, 48, true);
  cairo_t* cr = c.cr();
  Glow(cr, 24, 5, 8, Hex(0x40FFB0), 0.9);  // charged muzzle
  RoundedRectPath(cr, 19.5, 3, 9, 22, 3);  // barrel
  SetLinearGradient(cr, 19.5, 0, 28.5, 0, {{0, Hex(0x5A6173)}, {0.35, Hex(0xD9E0F2)}, {1, Hex(0x383D4D)}});
  cairo_fill_preserve(cr);
  SetColor(cr, Hex(0x0E1016));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  for (double y : {9.0, 15.0}) {  // barrel rings
    cairo_rectangle(cr, 18.5, y, 11, 2.5);
    SetColor(cr, Hex(0x30E090));
    cairo_fill(cr);
  }
  cairo_move_to(cr, 6, 31);  // turret dome
  cairo_curve_to(cr, 8, 16, 40, 16, 42, 31);
  cairo_close_path(cr);
  ShadeAndOutline(cr, 24, 25, 18, Hex(0x5A6478), 1.4);
  RoundedRectPath(cr, 2, 29, 44, 7.5, 3);  // tracks
  ShadeAndOutline(cr, 24, 32, 22, Hex(0x2A2C34), 1.2);
  for (int i = 0; i < 6; ++i) Blob(cr, 7 + i * 6.8, 32.75, 2, 2, Hex(0x9098A8), 0.6);
  Glow(cr, 24, 24, 5, Hex(0x40FFB0), 0.9);
  SaveSprite(out, c, "Cannon");
}

void ShotAndBullet(Output& out) {
  Canvas shot(18, 18, true);
  Glow(shot.cr(), 9, 9, 9, Hex(0x30FFA0), 1);
  Blob(shot.cr(), 9, 9, 4.2, 4.2, Hex(0xB0FFE0), 0);
  Glow(shot.cr(), 8, 8, 3, Hex(0xFFFFFF), 1);
  SaveSprite(out, shot, "Shot");

  Canvas bullet(16, 16, true);
  cairo_t* cr = bullet.cr();
  cairo_move_to(cr, 4, 1);  // a flame tail trailing upward, the ball falling down
  cairo_curve_to(cr, 5, 6, 4, 9, 8, 14);
  cairo_curve_to(cr, 12, 9, 11, 6, 12, 1);
  cairo_curve_to(cr, 10, 5, 8, 3, 8, 0);
  cairo_curve_to(cr, 7, 4, 5, 4, 4, 1);
  SetColor(cr, Hex(0xFF6010), 0.8);
  cairo_fill(cr);
  Glow(cr, 8, 10.5, 6, Hex(0xFF3000), 1);
  Blob(cr, 8, 10.5, 3.6, 3.6, Hex(0xFFD050), 0);
  SaveSprite(out, bullet, "Bullet");
}

// The arrow pointer outline with its tip exactly on pixel (0, 0).
void ArrowPath(cairo_t* cr) { PolygonPath(cr, {0, 0, 0, 23, 6, 18, 10.5, 27.5, 14.5, 25.5, 10, 16.5, 17.5, 16.5}); }

void Pointer(Output& out, const std::string& name, Rgb light, Rgb dark, Rgb glow) {
  Canvas c(32, 32, true);
  cairo_t* cr = c.cr();
  Glow(cr, 9, 14, 14, glow, 0.35);
  cairo_translate(cr, 1, 1);
  ArrowPath(cr);
  SetLinearGradient(cr, 0, 0, 14, 26, {{0, light}, {1, dark}});
  cairo_fill_preserve(cr);
  SetColor(cr, Hex(0x08040A));
  cairo_set_line_width(cr, 1.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
  cairo_identity_matrix(cr);
  cairo_rectangle(cr, 0, 0, 1, 1);  // the hot spot itself is a solid pixel
  SetColor(cr, Hex(0x08040A));
  cairo_fill(cr);
  SaveSprite(out, c, name);
}

void Pointers(Output& out) {
  Pointer(out, "Arrow", Hex(0xFFFFFF), Hex(0xB8C0D0), Hex(0xFF4040));
  Pointer(out, "Arrow2", Hex(0xFFE060), Hex(0xE02020), Hex(0xFFA020));
  Canvas invisible(32, 32, true);
  SaveSprite(out, invisible, "Invisible");
}

void Markers(Output& out) {
  Canvas passed(32, 32, true);
  cairo_t* cr = passed.cr();
  Glow(cr, 16, 16, 16, Hex(0x40FF60), 0.5);
  Blob(cr, 16, 16, 11, 11, Hex(0x20A040), 1.8);
  cairo_move_to(cr, 10, 16.5);
  cairo_line_to(cr, 14.5, 21);
  cairo_line_to(cr, 22.5, 11);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  DoubleStroke(cr, Hex(0x0A2A10), 5, Hex(0xFFFFFF), 2.6);
  SaveSprite(out, passed, "Passed");

  Canvas current(32, 32, true);
  cr = current.cr();
  Glow(cr, 16, 16, 16, Hex(0xFF2020), 0.8);
  for (double r : {13.0, 8.5}) {
    cairo_arc(cr, 16, 16, r, 0, 2 * M_PI);
    DoubleStroke(cr, Hex(0x2A0000), 3.6, Hex(0xFF4030), 2);
  }
  Blob(cr, 16, 16, 3.8, 3.8, Hex(0xFFE040), 1);
  SaveSprite(out, current, "Current");
}

}  // namespace

void MakeSprites(Output& out) {
  Flyers(out);
  CannonSprite(out);
  ShotAndBullet(out);
  Pointers(out);
  Markers(out);
}

}  // namespace assetgen
