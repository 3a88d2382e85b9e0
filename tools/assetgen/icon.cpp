#include "icon.h"

#include <cairo.h>

#include <cstdio>
#include <system_error>

#include "draw.h"

namespace assetgen {
namespace {

constexpr int kIconSizes[] = {32, 64, 128, 256};

// The icon in a 256-unit square: a round horned monster with one glowing eye in front of
// a dark red tile, readable down to 32 pixels because it is one big shape.
void DrawIcon(cairo_t* cr) {
  RoundedRectPath(cr, 8, 8, 240, 240, 44);
  SetLinearGradient(cr, 0, 8, 0, 248, {{0, Hex(0x5a1020)}, {1, Hex(0x16040a)}});
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 6);
  SetColor(cr, Hex(0x0b0205));
  cairo_stroke(cr);
  Glow(cr, 128, 140, 112, Hex(0xff5a1e), 0.35);
  Horn(cr, 84, 82, 50, 26, 26, Hex(0xe8d9b0));
  Horn(cr, 172, 82, 206, 26, 26, Hex(0xe8d9b0));
  Blob(cr, 128, 142, 86, 80, Hex(0xc8242c), 5);
  GlowEye(cr, 128, 120, 30, Hex(0x3cff6a));
  // A wide open mouth with a row of teeth.
  EllipsePath(cr, 128, 184, 48, 20);
  SetColor(cr, Hex(0x2a0306));
  cairo_fill(cr);
  SetColor(cr, Hex(0xf4f0e0));
  for (int i = 0; i < 5; ++i) {
    double x = 96 + i * 16;
    PolygonPath(cr, {x, 170, x + 12, 170, x + 6, 184});
    cairo_fill(cr);
  }
}

bool WriteIcon(const std::filesystem::path& root, int size) {
  std::filesystem::path folder = root / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  Canvas canvas(size, size, true);
  cairo_scale(canvas.cr(), size / 256.0, size / 256.0);
  DrawIcon(canvas.cr());
  cairo_surface_flush(canvas.surface());
  std::filesystem::path file = folder / "vark.png";
  if (cairo_surface_write_to_png(canvas.surface(), file.c_str()) == CAIRO_STATUS_SUCCESS) return true;
  std::fprintf(stderr, "assetgen: cannot write %s\n", file.c_str());
  return false;
}

}  // namespace

bool WriteIcons(const std::filesystem::path& root) {
  bool ok = true;
  for (int size : kIconSizes) ok = WriteIcon(root, size) && ok;
  return ok;
}

}  // namespace assetgen
