// Screen backgrounds: the main menu sky, the metal panel backdrop, the
// mountain backdrop of the shooter and memory games, and the tiling stone.
#include <cmath>

#include "draw.h"
#include "generators.h"
#include "noise.h"

namespace assetgen {

namespace {

// A neon grid floor in perspective below `horizon`, fading toward the horizon.
void NeonFloor(cairo_t* cr, double w, double h, double horizon, Rgb color) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, horizon, w, h - horizon);
  cairo_clip(cr);
  SetLinearGradient(cr, 0, horizon, 0, h, {{0, Hex(0x290514)}, {1, Hex(0x080008)}});
  cairo_paint(cr);
  cairo_set_line_width(cr, 1.2);
  for (int i = -14; i <= 14; ++i) {  // lines running to the vanishing point
    cairo_move_to(cr, w / 2, horizon);
    cairo_line_to(cr, w / 2 + i * w * 0.16, h);
  }
  for (int i = 1; i < 12; ++i) {  // cross lines, closer together near the horizon
    double t = std::pow(i / 11.0, 2.2);
    double y = horizon + (h - horizon) * t;
    cairo_move_to(cr, 0, y);
    cairo_line_to(cr, w, y);
  }
  SetLinearGradient(cr, 0, horizon, 0, h, {{0, color, 0.05}, {1, color, 0.55}});
  cairo_stroke(cr);
  cairo_restore(cr);
}

void MainMenuBackground(Output& out) {
  SaveScene(out, "Texture0.jpg", 680, 500, 1001, 0.7, [](cairo_t* cr, Rng& rng) {
    FillVertical(cr, 680, 500, Hex(0x07040E), Hex(0x3A0818));
    NoiseClouds(cr, 680, 500, 11, 3, Hex(0x6A1048), 0.45, 0.0);
    NoiseClouds(cr, 680, 500, 12, 4, Hex(0xB02A20), 0.25, 0.15);
    Stars(cr, rng, 680, 330, 160);
    // A dim eclipsed planet low on the left, its rim lit from behind.
    Glow(cr, 200, 330, 170, Hex(0xFF4020), 0.35);
    EllipsePath(cr, 200, 330, 110, 110);
    SetColor(cr, Hex(0x0A0508));
    cairo_fill(cr);
    cairo_set_line_width(cr, 2.5);
    constexpr int kRimSteps = 60;  // the rim fades out toward both ends instead of stopping short
    for (int i = 0; i < kRimSteps; ++i) {
      double t0 = double(i) / kRimSteps, t1 = double(i + 1) / kRimSteps;
      cairo_arc(cr, 200, 330, 110, M_PI * (0.95 + 0.95 * t0), M_PI * (0.95 + 0.95 * t1));
      SetColor(cr, Hex(0xFF9A50), 0.85 * std::pow(std::sin(M_PI * (t0 + t1) / 2), 1.5));
      cairo_stroke(cr);
    }
    MountainRange(cr, rng, 680, 500, 372, 70, Hex(0x2A0A22), Hex(0x120610));
    MountainRange(cr, rng, 680, 500, 392, 40, Hex(0x180612), Hex(0x08030A));
    NeonFloor(cr, 680, 500, 392, Hex(0xFF2A6A));
  });
}

// Hexagon outline centred at (x, y) with corner radius r.
void HexPath(cairo_t* cr, double x, double y, double r) {
  cairo_new_sub_path(cr);
  for (int k = 0; k < 6; ++k) {
    double a = M_PI / 3 * k + M_PI / 6;
    cairo_line_to(cr, x + r * std::cos(a), y + r * std::sin(a));
  }
  cairo_close_path(cr);
}

// Height of the calm strip along the top where the panels put their titles.
constexpr double kTitleBand = 46;

void PanelBackground(Output& out) {
  const int w = 680, h = 520;
  SaveScene(out, "Texture1.jpg", w, h, 21, 0.75, [](cairo_t* cr, Rng&) {
    FillVertical(cr, w, h, Hex(0x1A1620), Hex(0x0C0A10));
    NoiseClouds(cr, w, h, 21, 4, Hex(0x302838), 0.6, -0.2);
    const double r = 26, dx = r * std::sqrt(3.0), dy = r * 1.5;
    cairo_set_line_width(cr, 1.6);
    for (int row = -1; row * dy < h + r; ++row) {
      for (int col = -1; col * dx < w + r; ++col) HexPath(cr, col * dx + (row % 2 ? dx / 2 : 0), row * dy, r - 2);
    }
    SetColor(cr, Hex(0x000000), 0.45);
    cairo_stroke_preserve(cr);
    cairo_translate(cr, 0.8, 0.8);
    SetColor(cr, Hex(0x6A5A78), 0.25);
    cairo_stroke(cr);
    cairo_identity_matrix(cr);
    Glow(cr, w / 2.0, h / 2.0, 360, Hex(0x8A1830), 0.35);
    // The title strip: a plain dark band. No line crosses the picture: panels of every
    // size put titles and options over it.
    SetLinearGradient(cr, 0, 0, 0, kTitleBand, {{0, Hex(0x1C1822)}, {1, Hex(0x141018)}});
    cairo_rectangle(cr, 0, 0, w, kTitleBand);
    cairo_fill(cr);
  });
}

void MountainBackdrop(Output& out) {
  const int w = 640, h = 480;
  SaveScene(out, "mount.jpg", w, h, 31, 0.5, [](cairo_t* cr, Rng& rng) {
    SetLinearGradient(cr, 0, 0, 0, 330,
                      {{0, Hex(0x050514)}, {0.55, Hex(0x1A0D38)}, {0.85, Hex(0x731A33)}, {1, Hex(0xD9592E)}});
    cairo_paint(cr);
    Stars(cr, rng, w, 220, 140);
    NoiseClouds(cr, w, 300, 32, 3, Hex(0x40205A), 0.35, 0.1);
    Glow(cr, 500, 90, 90, Hex(0xC8D8FF), 0.25);  // a pale moon
    Blob(cr, 500, 90, 34, 34, Hex(0xC9CDE0), 0);
    Blob(cr, 490, 80, 7, 6, Hex(0xA8ABC0), 0);
    Blob(cr, 512, 102, 5, 4, Hex(0xA8ABC0), 0);
    MountainRange(cr, rng, w, h, 310, 150, Hex(0x7A4060), Hex(0x3A1A38));
    MountainRange(cr, rng, w, h, 350, 120, Hex(0x4A2048), Hex(0x22102A));
    MountainRange(cr, rng, w, h, 395, 90, Hex(0x2A1230), Hex(0x120816));
    MountainRange(cr, rng, w, h, 440, 50, Hex(0x120A16), Hex(0x050306));
  });
}

// Dark slate for every panel backdrop. The screens stretch it to shapes from
// 12:1 to 2:1, so it is drawn wide (4:1) and its grain is fine and round:
// soft mottling, small speckles and thin cracks, none long enough to smear
// into streaks. It stays dark so the panels' smoke and captions stand out.
void StoneTexture(Output& out) {
  const int w = 512, h = 128;
  Canvas c(w, h);
  FractalNoise mottle(41, 8, 3, 0.5), grain(44, 64, 2, 0.5), cracks(42, 12, 3, 0.5), tint(43, 4, 2);
  Rng speckles(45);
  auto height = [&](double u, double v) {
    double crack = 1 - std::abs(cracks.At(u, v)) * 14;
    return mottle.At(u, v) * 0.5 + grain.At(u, v) * 0.35 - std::max(0.0, crack) * 0.4;
  };
  PaintPixels(c.surface(), [&](int x, int y) {
    double u = x / double(w), v = y / double(w), e = 1.0 / w;
    double light = (height(u - e, v - e) - height(u + e, v + e)) * 6;
    Rgb base = Hex(0x2C2A34).Mix(Hex(0x3A3028), 0.5 + tint.At(u, v) * 0.8);
    double fleck = speckles.Chance(0.04) ? speckles.Range(-0.25, 0.3) : 0;
    return base.Scaled(0.9 + light * 0.35 + height(u, v) * 0.35 + fleck);
  });
  out.SavePicture("stone.jpg", c.surface(), PictureFormat::kJpeg);
}

}  // namespace

void MakeBackgrounds(Output& out) {
  MainMenuBackground(out);
  PanelBackground(out);
  MountainBackdrop(out);
  StoneTexture(out);
}

}  // namespace assetgen
