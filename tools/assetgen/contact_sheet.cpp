// The contact sheet: every picture at its own size on a dark board, in the
// order written, each with its file name underneath, wrapped into rows.
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "draw.h"
#include "generators.h"
#include "platform/files/atomic_file.h"

namespace assetgen {

namespace {

constexpr int kSheetWidth = 2000;
constexpr int kGap = 10;
constexpr int kCaption = 14;

struct Placement {
  const SheetEntry* entry;
  int x, y;
};

int WidthOf(const SheetEntry& e) { return std::max(cairo_image_surface_get_width(e.surface), 84); }
int HeightOf(const SheetEntry& e) { return cairo_image_surface_get_height(e.surface); }

// Flows the pictures left to right into rows; returns the total height.
int Layout(const std::vector<SheetEntry>& entries, std::vector<Placement>& placed) {
  int x = kGap, y = kGap, row_height = 0;
  for (const SheetEntry& e : entries) {
    if (x + WidthOf(e) + kGap > kSheetWidth && x > kGap) {
      x = kGap;
      y += row_height + kCaption + kGap;
      row_height = 0;
    }
    placed.push_back({&e, x, y});
    x += WidthOf(e) + kGap;
    row_height = std::max(row_height, HeightOf(e));
  }
  return y + row_height + kCaption + kGap;
}

// A checkerboard under each picture so transparency shows.
void Checker(cairo_t* cr, int x, int y, int w, int h) {
  for (int cy = 0; cy < h; cy += 8) {
    for (int cx = 0; cx < w; cx += 8) {
      SetColor(cr, ((cx + cy) / 8) % 2 ? Hex(0x3A3A44) : Hex(0x2A2A32));
      cairo_rectangle(cr, x + cx, y + cy, std::min(8, w - cx), std::min(8, h - cy));
      cairo_fill(cr);
    }
  }
}

void Caption(cairo_t* cr, const std::string& name, int x, int y) {
  std::string label = name.substr(name.find_last_of('/') + 1);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 10);
  SetColor(cr, Hex(0xE8E0C8));
  cairo_move_to(cr, x, y + 11);
  cairo_show_text(cr, label.c_str());
}

}  // namespace

bool WriteContactSheet(const Output& out, const std::filesystem::path& path) {
  std::vector<Placement> placed;
  int height = Layout(out.sheet(), placed);
  Canvas sheet(kSheetWidth, height);
  cairo_t* cr = sheet.cr();
  SetColor(cr, Hex(0x14141A));
  cairo_paint(cr);
  for (const Placement& p : placed) {
    int w = cairo_image_surface_get_width(p.entry->surface), h = HeightOf(*p.entry);
    Checker(cr, p.x, p.y, w, h);
    cairo_set_source_surface(cr, p.entry->surface, p.x, p.y);
    cairo_paint(cr);
    Caption(cr, p.entry->name, p.x, p.y + h);
  }
  std::filesystem::path parent = path.parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  if (!vark::WriteFileAtomic(path, EncodePng(sheet.surface()))) {
    std::fprintf(stderr, "assetgen: could not write the contact sheet\n");
    return false;
  }
  return true;
}

}  // namespace assetgen
