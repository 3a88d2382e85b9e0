// The player faces in VarKers/: cartoon heads, each with its own head shape,
// skin, hair, eyes, mouth and extra, on a coloured badge, so that they stay
// apart even when shown at 49 x 49.
#include <cmath>
#include <string>

#include "draw.h"
#include "generators.h"

namespace assetgen {

namespace {

constexpr int kSize = 128;
constexpr double kCx = 64, kCy = 70;

enum class Head { kRound, kTall, kSquare, kWideJaw, kEgg };
enum class Hair { kBald, kSpiky, kMohawk, kBob, kCurly, kCap, kLong, kBun, kHorns };
enum class Eyes {
  kRound,
  kSleepy,
  kGlasses,
  kVisor,
  kPatch,
  kAngry,
  kBig,
  kCyborg,
  kDots,
  kSlits,
  kLed,
  kSquint,
  kMonocle,
  kGlowing,
  kLashes
};
enum class Mouth { kSmile, kGrin, kFrown, kOh, kSmirk, kTongue, kFangs, kFlat, kGrille, kWavy, kBuckTeeth };
enum class Extra {
  kNone,
  kHeadphones,
  kBeard,
  kMoustache,
  kEarring,
  kAntenna,
  kScar,
  kFreckles,
  kBandana,
  kMask,
  kMetalPlate
};
// People blush and have ears and a nose; robots have bolts, seams and a sheen
// instead; creatures have neither cheeks nor a human nose.
enum class Kind { kPerson, kRobot, kCreature };

struct Face {
  const char* name;
  Kind kind;
  Head head;
  Rgb skin;
  Hair hair;
  Rgb hair_color;
  Eyes eyes;
  Rgb iris;
  Mouth mouth;
  Extra extra;
  Rgb badge;
};

// Head half-width and half-height for the shape.
double HalfWidth(Head h) { return h == Head::kTall ? 30 : h == Head::kWideJaw ? 38 : 35; }
double HalfHeight(Head h) { return h == Head::kTall ? 42 : h == Head::kSquare ? 36 : 38; }

void HeadPath(cairo_t* cr, Head h) {
  double rx = HalfWidth(h), ry = HalfHeight(h);
  switch (h) {
    case Head::kSquare: RoundedRectPath(cr, kCx - rx, kCy - ry, 2 * rx, 2 * ry, 14); break;
    case Head::kWideJaw:
      cairo_move_to(cr, kCx, kCy - ry);
      cairo_curve_to(cr, kCx + rx * 0.8, kCy - ry, kCx + rx, kCy + ry * 0.6, kCx + rx * 0.6, kCy + ry);
      cairo_line_to(cr, kCx - rx * 0.6, kCy + ry);
      cairo_curve_to(cr, kCx - rx, kCy + ry * 0.6, kCx - rx * 0.8, kCy - ry, kCx, kCy - ry);
      cairo_close_path(cr);
      break;
    case Head::kEgg:
      cairo_move_to(cr, kCx, kCy + ry);
      cairo_curve_to(cr, kCx + rx * 0.8, kCy + ry, kCx + rx * 1.2, kCy - ry, kCx, kCy - ry);
      cairo_curve_to(cr, kCx - rx * 1.2, kCy - ry, kCx - rx * 0.8, kCy + ry, kCx, kCy + ry);
      cairo_close_path(cr);
      break;
    default: EllipsePath(cr, kCx, kCy, rx, ry);
  }
}

void Badge(cairo_t* cr, Rgb color) {
  FillVertical(cr, kSize, kSize, color.Darker(0.55), color.Darker(0.85));
  Glow(cr, kCx, kCy - 10, 80, color.Lighter(0.1), 0.8);
  Vignette(cr, kSize, kSize, 0.6);
}

void HairBack(cairo_t* cr, const Face& f) {
  double rx = HalfWidth(f.head), ry = HalfHeight(f.head);
  if (f.hair == Hair::kLong) {
    RoundedRectPath(cr, kCx - rx - 8, kCy - ry - 4, 2 * rx + 16, 2 * ry + 18, 26);
    ShadeAndOutline(cr, kCx, kCy, 50, f.hair_color, 2);
  } else if (f.hair == Hair::kBun) {
    Blob(cr, kCx, kCy - ry - 10, 16, 14, f.hair_color, 2);
  }
}

void Ears(cairo_t* cr, const Face& f) {
  double rx = HalfWidth(f.head);
  for (double s : {-1.0, 1.0}) {
    if (f.kind == Kind::kRobot) {
      RoundedRectPath(cr, kCx + s * rx - 6, kCy - 8, 12, 20, 3);
      ShadeAndOutline(cr, kCx + s * rx, kCy, 10, f.skin.Darker(0.3), 2);
    } else if (f.kind == Kind::kCreature) {
      Horn(cr, kCx + s * (rx - 4), kCy - 4, kCx + s * (rx + 14), kCy - 16, 7, f.skin);
    } else {
      Blob(cr, kCx + s * rx, kCy + 2, 8, 11, f.skin, 2);
    }
  }
}

// What sits on the skin itself: a person's cheeks, a robot's seam, rivets and sheen.
void SkinMarks(cairo_t* cr, const Face& f) {
  double rx = HalfWidth(f.head), ry = HalfHeight(f.head);
  if (f.kind == Kind::kPerson) {
    Rgb blush = Hex(0xFF6070).Mix(f.skin, 0.5);
    for (double s : {-1.0, 1.0}) Blob(cr, kCx + s * 22, kCy + 12, 6, 4, blush, 0);
  } else if (f.kind == Kind::kRobot) {
    cairo_move_to(cr, kCx - rx + 6, kCy + 10);
    cairo_line_to(cr, kCx + rx - 6, kCy + 10);
    SetColor(cr, f.skin.Darker(0.45));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (double s : {-1.0, 1.0})
      for (double t : {-0.6, 0.7}) Blob(cr, kCx + s * (rx - 9), kCy + t * ry, 2.2, 2.2, f.skin.Lighter(0.3), 1);
    Blob(cr, kCx - rx * 0.45, kCy - ry * 0.55, rx * 0.25, 4, f.skin.Lighter(0.6), 0);
  }
}

// Hair that lies over the top of the head.
void HairFront(cairo_t* cr, const Face& f) {
  double rx = HalfWidth(f.head), ry = HalfHeight(f.head), top = kCy - ry;
  switch (f.hair) {
    case Hair::kSpiky:
      cairo_move_to(cr, kCx - rx - 2, kCy - 8);
      for (int i = 0; i <= 8; ++i) {
        double x = kCx - rx + i * rx / 4;
        cairo_line_to(cr, x, top - 16 + (i % 2) * 18);
      }
      cairo_line_to(cr, kCx + rx + 2, kCy - 8);
      cairo_curve_to(cr, kCx + rx * 0.5, top + 8, kCx - rx * 0.5, top + 8, kCx - rx - 2, kCy - 8);
      ShadeAndOutline(cr, kCx, top, 40, f.hair_color, 2);
      break;
    case Hair::kMohawk:
      for (int i = 0; i < 5; ++i)
        Horn(cr, kCx, top + 6 + i * 3, kCx - 16 + i * 8, top - 18 + std::abs(i - 2) * 5, 5, f.hair_color);
      break;
    case Hair::kBob:
    case Hair::kLong:
    case Hair::kBun:
      cairo_move_to(cr, kCx - rx - 4, kCy + (f.hair == Hair::kBob ? 14 : -4));
      cairo_curve_to(cr, kCx - rx - 6, top - 14, kCx + rx + 6, top - 14, kCx + rx + 4,
                     kCy + (f.hair == Hair::kBob ? 14 : -4));
      cairo_curve_to(cr, kCx + rx * 0.6, top + 18, kCx - rx * 0.2, top + 22, kCx - rx - 4,
                     kCy + (f.hair == Hair::kBob ? 14 : -4));
      ShadeAndOutline(cr, kCx, top, 40, f.hair_color, 2);
      break;
    case Hair::kCurly:
      for (int i = 0; i < 9; ++i) {
        double a = M_PI + i * M_PI / 8;
        Blob(cr, kCx + std::cos(a) * rx * 0.95, kCy - 6 + std::sin(a) * ry * 0.95, 11, 11, f.hair_color, 1.6);
      }
      break;
    case Hair::kCap:
      cairo_move_to(cr, kCx - rx - 2, top + 18);
      cairo_curve_to(cr, kCx - rx, top - 10, kCx + rx, top - 10, kCx + rx + 2, top + 18);
      cairo_close_path(cr);
      ShadeAndOutline(cr, kCx, top, 40, f.hair_color, 2);
      EllipsePath(cr, kCx + 18, top + 18, 30, 6);  // the peak
      ShadeAndOutline(cr, kCx + 18, top + 18, 30, f.hair_color.Darker(0.25), 2);
      Blob(cr, kCx, top - 2, 4, 3, f.hair_color.Lighter(0.4), 1);
      break;
    case Hair::kHorns:
      for (double s : {-1.0, 1.0})
        Horn(cr, kCx + s * rx * 0.5, top + 10, kCx + s * (rx + 8), top - 16, 5, f.hair_color);
      break;
    case Hair::kBald:
      Blob(cr, kCx - 10, top + 10, 10, 5, f.skin.Lighter(0.5), 0);  // a shine
      break;
  }
}

void Pupils(cairo_t* cr, const Face& f, double y, double r) {
  for (double s : {-1.0, 1.0}) Eye(cr, kCx + s * 14, y, r, f.iris, 0.2, 0.1);
}

void DrawEyes(cairo_t* cr, const Face& f) {
  const double y = kCy - 4;
  switch (f.eyes) {
    case Eyes::kRound: Pupils(cr, f, y, 8); break;
    case Eyes::kBig: Pupils(cr, f, y, 11); break;
    case Eyes::kSleepy:
    case Eyes::kAngry:
      Pupils(cr, f, y, 8);
      for (double s : {-1.0, 1.0}) {  // heavy lids or slanted brows
        if (f.eyes == Eyes::kSleepy) {
          cairo_arc(cr, kCx + s * 14, y, 9, M_PI, 2 * M_PI);
          ShadeAndOutline(cr, kCx + s * 14, y - 4, 9, f.skin.Darker(0.1), 1.6);
        } else {
          cairo_move_to(cr, kCx + s * 24, y - 14);
          cairo_line_to(cr, kCx + s * 5, y - 8);
          SetColor(cr, f.hair_color.Darker(0.4));
          cairo_set_line_width(cr, 4.5);
          cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
          cairo_stroke(cr);
        }
      }
      break;
    case Eyes::kGlasses:
      Pupils(cr, f, y, 7);
      for (double s : {-1.0, 1.0}) {
        cairo_arc(cr, kCx + s * 14, y, 11, 0, 2 * M_PI);
        SetColor(cr, Hex(0x1A1A20));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
      }
      cairo_move_to(cr, kCx - 3, y);
      cairo_line_to(cr, kCx + 3, y);
      cairo_stroke(cr);
      break;
    case Eyes::kVisor:
      RoundedRectPath(cr, kCx - 30, y - 8, 60, 15, 6);
      ShadeAndOutline(cr, kCx, y, 30, Hex(0x10A0E0), 2);
      Glow(cr, kCx - 10, y - 2, 12, Hex(0xA0F0FF), 0.8);
      break;
    case Eyes::kPatch:
      Eye(cr, kCx + 14, y, 8, f.iris, -0.2, 0.1);
      Blob(cr, kCx - 14, y, 10, 9, Hex(0x141014), 1.5);
      cairo_move_to(cr, kCx - 34, y - 18);
      cairo_line_to(cr, kCx + 30, y - 10);
      SetColor(cr, Hex(0x141014));
      cairo_set_line_width(cr, 2.5);
      cairo_stroke(cr);
      break;
    case Eyes::kDots:
      for (double s : {-1.0, 1.0}) {
        Blob(cr, kCx + s * 13, y, 4, 5.5, Hex(0x141018), 0);
        Blob(cr, kCx + s * 13 - 1.5, y - 2, 1.4, 1.4, Hex(0xFFFFFF), 0);
      }
      break;
    case Eyes::kSlits:
      for (double s : {-1.0, 1.0}) {
        EllipsePath(cr, kCx + s * 15, y, 10, 7);
        ShadeAndOutline(cr, kCx + s * 15, y, 9, f.iris, 2);
        Blob(cr, kCx + s * 15, y, 1.8, 6, Hex(0x100808), 0);
      }
      break;
    case Eyes::kLed:
      for (double s : {-1.0, 1.0}) {
        cairo_rectangle(cr, kCx + s * 14 - 8, y - 5, 16, 10);
        SetColor(cr, Hex(0x101418));
        cairo_fill(cr);
        for (int i = 0; i < 3; ++i) {
          cairo_rectangle(cr, kCx + s * 14 - 6 + i * 4.5, y - 3, 3, 6);
          SetColor(cr, f.iris);
          cairo_fill(cr);
        }
        Glow(cr, kCx + s * 14, y, 12, f.iris, 0.5);
      }
      break;
    case Eyes::kSquint:  // one eye open, the other shut as if taking aim
      Eye(cr, kCx + 14, y, 7, f.iris, -0.3, 0);
      cairo_move_to(cr, kCx - 24, y + 1);
      cairo_curve_to(cr, kCx - 19, y - 4, kCx - 9, y - 4, kCx - 5, y + 1);
      SetColor(cr, Hex(0x201010));
      cairo_set_line_width(cr, 3);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
      break;
    case Eyes::kMonocle:
      Pupils(cr, f, y, 6);
      cairo_arc(cr, kCx + 14, y, 12, 0, 2 * M_PI);
      SetColor(cr, Hex(0xE0B040));
      cairo_set_line_width(cr, 3);
      cairo_stroke(cr);
      cairo_move_to(cr, kCx + 24, y + 8);
      cairo_curve_to(cr, kCx + 30, y + 24, kCx + 22, y + 34, kCx + 32, y + 46);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
      break;
    case Eyes::kGlowing:
      for (double s : {-1.0, 1.0}) {
        cairo_move_to(cr, kCx + s * 4, y + 2);
        cairo_line_to(cr, kCx + s * 24, y - 4);
        cairo_line_to(cr, kCx + s * 20, y + 3);
        cairo_close_path(cr);
        SetColor(cr, f.iris);
        cairo_fill(cr);
        Glow(cr, kCx + s * 14, y, 14, f.iris, 0.7);
      }
      break;
    case Eyes::kLashes:
      Pupils(cr, f, y, 9);
      for (double s : {-1.0, 1.0})
        for (int i = 0; i < 3; ++i) {
          double a = M_PI * (1.15 + 0.17 * i) + (s > 0 ? 0.2 : -0.2);
          double ex = s > 0 ? kCx + 14 + std::cos(a) * -9 : kCx - 14 + std::cos(a) * 9;
          cairo_move_to(cr, ex, y + std::sin(a) * 9);
          cairo_line_to(cr, ex + (s > 0 ? -1 : 1) * std::cos(a) * 6, y + std::sin(a) * 15);
          SetColor(cr, Hex(0x140808));
          cairo_set_line_width(cr, 2);
          cairo_stroke(cr);
        }
      break;
    case Eyes::kCyborg:
      Eye(cr, kCx + 14, y, 8, f.iris, 0.2, 0.1);
      RoundedRectPath(cr, kCx - 26, y - 10, 22, 20, 5);
      ShadeAndOutline(cr, kCx - 15, y, 12, Hex(0x707A8A), 1.6);
      GlowEye(cr, kCx - 15, y, 5, Hex(0xFF2020));
      break;
  }
}

void DrawMouth(cairo_t* cr, const Face& f) {
  const double y = kCy + 20;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetColor(cr, Hex(0x3A0A10));
  cairo_set_line_width(cr, 3);
  switch (f.mouth) {
    case Mouth::kSmile:
      cairo_arc(cr, kCx, y - 8, 13, 0.25 * M_PI, 0.75 * M_PI);
      cairo_stroke(cr);
      break;
    case Mouth::kFrown:
      cairo_arc(cr, kCx, y + 10, 11, 1.25 * M_PI, 1.75 * M_PI);
      cairo_stroke(cr);
      break;
    case Mouth::kSmirk:
      cairo_move_to(cr, kCx - 10, y + 2);
      cairo_curve_to(cr, kCx, y + 4, kCx + 8, y + 2, kCx + 13, y - 4);
      cairo_stroke(cr);
      break;
    case Mouth::kOh: Blob(cr, kCx, y + 2, 6, 7, Hex(0x501018), 2); break;
    case Mouth::kFlat:
      cairo_move_to(cr, kCx - 11, y + 1);
      cairo_line_to(cr, kCx + 11, y + 1);
      cairo_stroke(cr);
      break;
    case Mouth::kWavy:
      cairo_move_to(cr, kCx - 14, y + 1);
      for (int i = 1; i <= 4; ++i) cairo_line_to(cr, kCx - 14 + i * 7, y + 1 + (i % 2 ? -3 : 3));
      cairo_stroke(cr);
      break;
    case Mouth::kGrille:
      RoundedRectPath(cr, kCx - 15, y - 4, 30, 12, 3);
      ShadeAndOutline(cr, kCx, y + 2, 15, f.skin.Darker(0.55), 1.6);
      for (int i = 1; i < 5; ++i) {
        cairo_move_to(cr, kCx - 15 + i * 6, y - 2);
        cairo_line_to(cr, kCx - 15 + i * 6, y + 6);
      }
      SetColor(cr, f.skin.Lighter(0.3));
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
      break;
    case Mouth::kBuckTeeth:
      cairo_arc(cr, kCx, y - 6, 12, 0.2 * M_PI, 0.8 * M_PI);
      cairo_stroke(cr);
      cairo_rectangle(cr, kCx - 5, y + 4, 10, 6);
      SetColor(cr, Hex(0xFFFFF4));
      cairo_fill_preserve(cr);
      SetColor(cr, Hex(0x2A0408));
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
      cairo_move_to(cr, kCx, y + 4);
      cairo_line_to(cr, kCx, y + 10);
      cairo_stroke(cr);
      break;
    case Mouth::kGrin:
    case Mouth::kTongue:
    case Mouth::kFangs:
      cairo_move_to(cr, kCx - 16, y - 4);
      cairo_curve_to(cr, kCx - 8, y + 14, kCx + 8, y + 14, kCx + 16, y - 4);
      cairo_close_path(cr);
      SetColor(cr, Hex(0x401018));
      cairo_fill_preserve(cr);
      cairo_save(cr);
      cairo_clip_preserve(cr);
      if (f.mouth == Mouth::kTongue) Blob(cr, kCx + 3, y + 9, 8, 7, Hex(0xE05070), 0);
      SetColor(cr, Hex(0xFFFFF4));
      if (f.mouth == Mouth::kGrin) cairo_rectangle(cr, kCx - 16, y - 4, 32, 5);
      cairo_fill(cr);
      cairo_restore(cr);
      if (f.mouth == Mouth::kFangs) {
        for (double s : {-1.0, 1.0}) {
          cairo_move_to(cr, kCx + s * 9, y - 1);
          cairo_line_to(cr, kCx + s * 5, y - 1);
          cairo_line_to(cr, kCx + s * 7, y + 6);
          cairo_close_path(cr);
        }
        SetColor(cr, Hex(0xFFFFF4));
        cairo_fill(cr);
      }
      cairo_move_to(cr, kCx - 16, y - 4);
      cairo_curve_to(cr, kCx - 8, y + 14, kCx + 8, y + 14, kCx + 16, y - 4);
      cairo_close_path(cr);
      SetColor(cr, Hex(0x2A0408));
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
      break;
  }
}

void Nose(cairo_t* cr, const Face& f) {
  if (f.kind == Kind::kPerson) {
    Blob(cr, kCx, kCy + 8, 5, 4, f.skin.Darker(0.15), 1.2);
  } else {  // two nostrils or air vents
    for (double s : {-1.0, 1.0}) Blob(cr, kCx + s * 3.5, kCy + 9, 1.6, 2.2, f.skin.Darker(0.6), 0);
  }
}

void DrawExtra(cairo_t* cr, const Face& f) {
  double rx = HalfWidth(f.head), ry = HalfHeight(f.head);
  switch (f.extra) {
    case Extra::kHeadphones:
      cairo_arc(cr, kCx, kCy - 4, rx + 6, M_PI, 2 * M_PI);
      SetColor(cr, Hex(0x202028));
      cairo_set_line_width(cr, 6);
      cairo_stroke(cr);
      for (double s : {-1.0, 1.0}) {
        RoundedRectPath(cr, kCx + s * (rx + 4) - 8, kCy - 12, 16, 26, 6);
        ShadeAndOutline(cr, kCx + s * (rx + 4), kCy, 14, Hex(0xE03040), 2);
      }
      break;
    case Extra::kBeard:
      cairo_move_to(cr, kCx - rx + 4, kCy + 6);
      cairo_curve_to(cr, kCx - rx + 6, kCy + ry + 18, kCx + rx - 6, kCy + ry + 18, kCx + rx - 4, kCy + 6);
      cairo_curve_to(cr, kCx + 16, kCy + 14, kCx - 16, kCy + 14, kCx - rx + 4, kCy + 6);
      ShadeAndOutline(cr, kCx, kCy + ry, 30, f.hair_color, 2);
      break;
    case Extra::kMoustache:
      for (double s : {-1.0, 1.0}) {
        cairo_move_to(cr, kCx, kCy + 13);
        cairo_curve_to(cr, kCx + s * 10, kCy + 8, kCx + s * 20, kCy + 12, kCx + s * 22, kCy + 20);
        cairo_curve_to(cr, kCx + s * 14, kCy + 16, kCx + s * 8, kCy + 18, kCx, kCy + 16);
        ShadeAndOutline(cr, kCx + s * 10, kCy + 14, 12, f.hair_color, 1.5);
      }
      break;
    case Extra::kEarring:
      cairo_arc(cr, kCx + rx + 1, kCy + 16, 4, 0, 2 * M_PI);
      SetColor(cr, Hex(0xFFD040));
      cairo_set_line_width(cr, 2.5);
      cairo_stroke(cr);
      break;
    case Extra::kAntenna:
      Horn(cr, kCx + 10, kCy - ry + 4, kCx + 22, kCy - ry - 24, 5, Hex(0x8090A0));
      Glow(cr, kCx + 22, kCy - ry - 24, 8, Hex(0x40FF80), 1);
      break;
    case Extra::kScar:
      cairo_move_to(cr, kCx + 16, kCy - 22);
      cairo_line_to(cr, kCx + 26, kCy + 6);
      for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, kCx + 15 + i * 4, kCy - 12 + i * 8);
        cairo_line_to(cr, kCx + 23 + i * 4, kCy - 14 + i * 8);
      }
      SetColor(cr, Hex(0x802028));
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
      break;
    case Extra::kFreckles:
      for (double s : {-1.0, 1.0})
        for (int i = 0; i < 4; ++i)
          Blob(cr, kCx + s * (14 + (i % 2) * 6), kCy + 8 + (i / 2) * 4, 1.3, 1.3, f.skin.Darker(0.4), 0);
      break;
    case Extra::kBandana:
      cairo_rectangle(cr, kCx - rx - 2, kCy - ry + 8, 2 * rx + 4, 11);
      ShadeAndOutline(cr, kCx, kCy - ry + 13, 30, Hex(0xD02020), 2);
      break;
    case Extra::kMask:  // a cloth mask over the mouth and nose
      cairo_move_to(cr, kCx - rx - 1, kCy + 2);
      cairo_curve_to(cr, kCx - 10, kCy - 2, kCx + 10, kCy - 2, kCx + rx + 1, kCy + 2);
      cairo_curve_to(cr, kCx + rx - 2, kCy + ry + 2, kCx - rx + 2, kCy + ry + 2, kCx - rx - 1, kCy + 2);
      ShadeAndOutline(cr, kCx, kCy + 10, 30, f.hair_color.Lighter(0.15), 2);
      break;
    case Extra::kMetalPlate:  // half the face is machine
      cairo_move_to(cr, kCx - 2, kCy - ry + 2);
      cairo_line_to(cr, kCx - rx * 0.6, kCy - ry + 4);
      cairo_curve_to(cr, kCx - rx - 2, kCy - 10, kCx - rx - 2, kCy + 10, kCx - rx * 0.6, kCy + ry - 6);
      cairo_line_to(cr, kCx - 6, kCy + 4);
      cairo_close_path(cr);
      ShadeAndOutline(cr, kCx - 20, kCy - 10, 30, Hex(0x8890A0), 2);
      for (int i = 0; i < 3; ++i) Blob(cr, kCx - rx * 0.7, kCy - 18 + i * 14, 2, 2, Hex(0xD0D8E0), 1);
      break;
    case Extra::kNone: break;
  }
}

void DrawFace(cairo_t* cr, const Face& f) {
  Badge(cr, f.badge);
  Blob(cr, kCx, kSize + 6, 40, 26, f.badge.Darker(0.5), 2);  // shoulders
  HairBack(cr, f);
  Ears(cr, f);
  HeadPath(cr, f.head);
  ShadeAndOutline(cr, kCx, kCy, HalfHeight(f.head), f.skin, 2.5);
  SkinMarks(cr, f);
  Nose(cr, f);
  // A beard grows around the mouth, so the mouth goes on top; a mask covers it.
  const bool under_mouth = f.extra == Extra::kBeard, over_hair = f.extra == Extra::kHeadphones;
  if (under_mouth) DrawExtra(cr, f);
  DrawMouth(cr, f);
  if (!under_mouth && !over_hair) DrawExtra(cr, f);
  DrawEyes(cr, f);
  HairFront(cr, f);
  if (over_hair) DrawExtra(cr, f);
}

}  // namespace

void MakeFaces(Output& out) {
  const Rgb pale = Hex(0xF2C8A0), tan = Hex(0xD89A68), brown = Hex(0x8A5A3A), dark = Hex(0x5A3A28);
  const Rgb green = Hex(0x80C060), blue = Hex(0x70A0E0), grey = Hex(0xB0B4BC), violet = Hex(0xB080D0);
  const Face faces[] = {
      {"Varkus", Kind::kPerson, Head::kSquare, tan, Hair::kSpiky, Hex(0xE03020), Eyes::kAngry, Hex(0x40A0FF),
       Mouth::kGrin, Extra::kScar, Hex(0xC02030)},
      {"Nova", Kind::kPerson, Head::kTall, pale, Hair::kLong, Hex(0xF0D060), Eyes::kLashes, Hex(0x30C070),
       Mouth::kSmile, Extra::kEarring, Hex(0x6030C0)},
      {"Rex", Kind::kCreature, Head::kWideJaw, green, Hair::kHorns, Hex(0xE8D8B0), Eyes::kSlits, Hex(0xF0D020),
       Mouth::kFangs, Extra::kNone, Hex(0x208040)},
      {"Pixel", Kind::kPerson, Head::kRound, pale, Hair::kCap, Hex(0x2060E0), Eyes::kGlasses, Hex(0x805030),
       Mouth::kTongue, Extra::kFreckles, Hex(0x20A0C0)},
      {"Zed", Kind::kRobot, Head::kEgg, grey, Hair::kBald, grey, Eyes::kLed, Hex(0x40FF60), Mouth::kGrille,
       Extra::kAntenna, Hex(0x405070)},
      {"Blaze", Kind::kPerson, Head::kRound, tan, Hair::kMohawk, Hex(0xFF8020), Eyes::kVisor, Hex(0x000000),
       Mouth::kSmirk, Extra::kNone, Hex(0xE06010)},
      {"Luna", Kind::kCreature, Head::kTall, blue, Hair::kBob, Hex(0x302060), Eyes::kSleepy, Hex(0xC040C0), Mouth::kOh,
       Extra::kEarring, Hex(0x303090)},
      {"Doc", Kind::kPerson, Head::kEgg, pale, Hair::kCurly, Hex(0xE8E8E8), Eyes::kGlasses, Hex(0x3070C0),
       Mouth::kSmile, Extra::kMoustache, Hex(0x508060)},
      {"Spike", Kind::kPerson, Head::kSquare, brown, Hair::kSpiky, Hex(0x101010), Eyes::kPatch, Hex(0x60A040),
       Mouth::kGrin, Extra::kBandana, Hex(0x806020)},
      {"Max", Kind::kPerson, Head::kWideJaw, tan, Hair::kSpiky, Hex(0x704020), Eyes::kDots, Hex(0x000000),
       Mouth::kSmile, Extra::kBeard, Hex(0x8A2A60)},
      {"Гром", Kind::kPerson, Head::kSquare, dark, Hair::kBald, Hex(0x8A8078), Eyes::kAngry, Hex(0x804020),
       Mouth::kFrown, Extra::kBeard, Hex(0x603010)},
      {"Ёжик", Kind::kCreature, Head::kRound, Hex(0xC09070), Hair::kSpiky, Hex(0x4A4038), Eyes::kBig, Hex(0x302010),
       Mouth::kBuckTeeth, Extra::kNone, Hex(0x70A030)},
      {"Лиса", Kind::kPerson, Head::kTall, pale, Hair::kBob, Hex(0xE06020), Eyes::kLashes, Hex(0x40B060), Mouth::kSmirk,
       Extra::kFreckles, Hex(0xD07020)},
      {"Батя", Kind::kPerson, Head::kWideJaw, Hex(0xE0A880), Hair::kBald, Hex(0x605040), Eyes::kRound, Hex(0x4070A0),
       Mouth::kGrin, Extra::kMoustache, Hex(0x2A4A8A)},
      {"Кузя", Kind::kCreature, Head::kEgg, violet, Hair::kCurly, Hex(0x40E0A0), Eyes::kBig, Hex(0xFF8020),
       Mouth::kTongue, Extra::kNone, Hex(0xA03090)},
      {"Вжик", Kind::kPerson, Head::kRound, Hex(0xF0D070), Hair::kMohawk, Hex(0x20A0FF), Eyes::kGlasses, Hex(0x202020),
       Mouth::kGrin, Extra::kHeadphones, Hex(0xE0B020)},
      {"Тень", Kind::kPerson, Head::kTall, Hex(0x505868), Hair::kLong, Hex(0x101018), Eyes::kGlowing, Hex(0xFF3030),
       Mouth::kFlat, Extra::kMask, Hex(0x181828)},
      {"Снайпер", Kind::kPerson, Head::kWideJaw, Hex(0xB08858), Hair::kCap, Hex(0x4A5A2A), Eyes::kSquint, Hex(0x3060A0),
       Mouth::kFlat, Extra::kScar, Hex(0x3A5A2A)},
      {"Маруся", Kind::kPerson, Head::kRound, pale, Hair::kBun, Hex(0x8A3A1A), Eyes::kLashes, Hex(0x3080E0),
       Mouth::kSmile, Extra::kFreckles, Hex(0xE05080)},
      {"Барон", Kind::kPerson, Head::kTall, Hex(0x6A4030), Hair::kBald, grey, Eyes::kMonocle, Hex(0x406030),
       Mouth::kWavy, Extra::kBeard, Hex(0x2A7070)},
      {"Бублик", Kind::kPerson, Head::kWideJaw, Hex(0xF0B080), Hair::kCurly, Hex(0xC08030), Eyes::kSleepy,
       Hex(0x805020), Mouth::kGrin, Extra::kHeadphones, Hex(0xF08040)},
      {"Киборг", Kind::kPerson, Head::kSquare, Hex(0xC89070), Hair::kBald, Hex(0x303030), Eyes::kCyborg, Hex(0x20C0C0),
       Mouth::kFlat, Extra::kMetalPlate, Hex(0x602020)},
  };
  out.ClearFolder("VarKers");
  for (const Face& f : faces) {
    Canvas c(kSize, kSize);
    DrawFace(c.cr(), f);
    out.SavePicture(std::string("VarKers/") + f.name + ".dat", c.surface(), PictureFormat::kPng);
  }
}

}  // namespace assetgen
