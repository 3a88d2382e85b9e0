#include "platform/video/presenter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/base/owned.h"

namespace vark {
namespace {

constexpr int kPictureW = 640;
constexpr int kPictureH = 480;
constexpr unsigned kGlRendererName = 0x1F01;

bool SameLayout(Uint32 a, Uint32 b) {
  auto rgb = [](Uint32 f) { return f == SDL_PIXELFORMAT_ARGB8888 || f == SDL_PIXELFORMAT_RGB888; };
  return rgb(a) && rgb(b);
}

// The window's own pixels, scaled here: only the changed area is redrawn and sent.
class SurfacePresenter : public Presenter {
 public:
  explicit SurfacePresenter(SDL_Window* window) : Presenter(window) {
    // SDL would otherwise put the window's pixels through a (software) renderer again.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }

  void Show(const SDL_Surface& picture, const SDL_Rect& changed) override {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target) return;
    SDL_Rect area = fresh_ ? changed : SDL_Rect{0, 0, picture.w, picture.h};
    if (Fit(target->w, target->h) || target != last_) {
      last_ = target;
      scaler_.Layout(picture.w, picture.h, view_);
      SDL_FillRect(target, nullptr, 0);
      area = SDL_Rect{0, 0, picture.w, picture.h};
      fresh_ = false;
    }
    SDL_Rect shown = SameLayout(picture.format->format, target->format->format) ? scaler_.Scale(picture, *target, area)
                                                                                : BlitScaled(picture, *target, area);
    if (!fresh_) {
      SDL_UpdateWindowSurface(window_);
      fresh_ = true;
    } else if (shown.w > 0 && shown.h > 0) {
      SDL_UpdateWindowSurfaceRects(window_, &shown, 1);
    }
  }

  const char* Name() const override { return "window surface"; }

 private:
  // Targets of another pixel layout (rare) take SDL's own scaling of the whole picture.
  SDL_Rect BlitScaled(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect&) {
    SDL_BlitScaled(const_cast<SDL_Surface*>(&picture), nullptr, &target, &view_);
    return view_;
  }

  PixelScaler scaler_;
  SDL_Surface* last_ = nullptr;
};

// A graphics card's renderer: the changed area goes up into the texture, the card scales.
class RendererPresenter : public Presenter {
 public:
  RendererPresenter(SDL_Window* window, OwnedRenderer renderer) : Presenter(window), renderer_(std::move(renderer)) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kPictureW,
                                     kPictureH));
  }

  void Show(const SDL_Surface& picture, const SDL_Rect& changed) override {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_.get(), &w, &h);
    if (Fit(w, h)) fresh_ = false;
    SDL_Rect area = fresh_ ? changed : SDL_Rect{0, 0, picture.w, picture.h};
    const auto* pixels = static_cast<const Uint8*>(picture.pixels) + area.y * picture.pitch + area.x * 4;
    SDL_UpdateTexture(texture_.get(), &area, pixels, picture.pitch);
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &view_);
    SDL_RenderPresent(renderer_.get());
    fresh_ = true;
  }

  const char* Name() const override { return "renderer"; }

 private:
  OwnedRenderer renderer_;
  OwnedTexture texture_;  // declared after the renderer, so it goes first
};

// OpenGL done by the processor (Mesa's llvmpipe and its kin) redraws the whole window on
// the processor at every showing: dearer than scaling only what changed.
bool RunsOnProcessor(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || !(info.flags & SDL_RENDERER_ACCELERATED)) return true;
  if (std::strncmp(info.name, "opengl", 6) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const unsigned char* name = getString ? getString(kGlRendererName) : nullptr;
  if (!name) return true;
  std::string text(reinterpret_cast<const char*>(name));
  for (const char* soft : {"llvmpipe", "softpipe", "Software", "swrast"})
    if (text.find(soft) != std::string::npos) return true;
  return false;
}

// Without a graphics card driver there is no device for OpenGL to run on: it would run on
// the processor, and only loading it (Mesa's compiler) costs some 50 MB and a pause at start.
bool HasGraphicsDevice() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error))
    if (entry.path().filename().string().starts_with("renderD")) return true;
  return std::filesystem::exists("/dev/nvidia0", error);
}

}  // namespace

std::unique_ptr<Presenter> Presenter::Make(SDL_Window* window) {
  const char* forced = std::getenv("VARK_PRESENT");
  std::string choice = forced ? forced : "";
  if (choice == "renderer" || (choice != "surface" && HasGraphicsDevice())) {
    if (OwnedRenderer renderer{SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)}) {
      if (choice == "renderer" || !RunsOnProcessor(renderer.get()))
        return std::make_unique<RendererPresenter>(window, std::move(renderer));
    }
  }
  return std::make_unique<SurfacePresenter>(window);
}

bool Presenter::Fit(int outputW, int outputH) {
  SDL_Rect view = FitInto(kPictureW, kPictureH, outputW, outputH);
  if (SDL_RectEquals(&view, &view_)) return false;
  view_ = view;
  return true;
}

SDL_Point Presenter::ToPicture(int x, int y) const {
  if (view_.w <= 0 || view_.h <= 0) return SDL_Point{x, y};
  auto map = [](int v, int start, int length, int picLength) {
    int offset = v - start;
    // Rounds towards minus infinity, so points over the left or top bar stay negative.
    int scaled = offset * picLength;
    return scaled >= 0 ? scaled / length : -((-scaled + length - 1) / length);
  };
  return SDL_Point{map(x, view_.x, view_.w, kPictureW), map(y, view_.y, view_.h, kPictureH)};
}

SDL_Rect FitInto(int picW, int picH, int outW, int outH) {
  if (outW <= 0 || outH <= 0) return SDL_Rect{0, 0, 0, 0};
  // The larger of the two fits that stays inside the output.
  int w = outW, h = static_cast<int>(static_cast<long long>(outW) * picH / picW);
  if (h > outH) {
    h = outH;
    w = static_cast<int>(static_cast<long long>(outH) * picW / picH);
  }
  return SDL_Rect{(outW - w) / 2, (outH - h) / 2, w, h};
}

void PixelScaler::Axis::Build(int picLength, int boxLength) {
  source = std::make_unique<int[]>(static_cast<size_t>(std::max(boxLength, 1)));
  first = std::make_unique<int[]>(static_cast<size_t>(picLength) + 1);
  // Each target pixel shows the picture pixel under its centre.
  for (int t = 0; t < boxLength; ++t) source[t] = static_cast<int>((2LL * t + 1) * picLength / (2LL * boxLength));
  for (int p = 0; p <= picLength; ++p) first[p] = boxLength;
  for (int t = boxLength - 1; t >= 0; --t) first[source[t]] = t;
  for (int p = picLength - 1; p >= 0; --p) first[p] = std::min(first[p], first[p + 1]);
}

void PixelScaler::Layout(int picW, int picH, const SDL_Rect& box) {
  box_ = box;
  x_.Build(picW, box.w);
  y_.Build(picH, box.h);
}

SDL_Rect PixelScaler::Scale(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect& changed) const {
  int x0 = x_.first[changed.x], x1 = x_.first[changed.x + changed.w];
  int y0 = y_.first[changed.y], y1 = y_.first[changed.y + changed.h];
  if (x1 <= x0 || y1 <= y0) return SDL_Rect{0, 0, 0, 0};
  const auto* pic = static_cast<const Uint8*>(picture.pixels);
  auto* out = static_cast<Uint8*>(target.pixels);
  const Uint32* lastSource = nullptr;
  Uint32* lastRow = nullptr;
  for (int ty = y0; ty < y1; ++ty) {
    const auto* sourceRow = reinterpret_cast<const Uint32*>(pic + y_.source[ty] * picture.pitch);
    auto* row = reinterpret_cast<Uint32*>(out + (box_.y + ty) * target.pitch) + box_.x;
    if (sourceRow == lastSource) {
      // A picture row shown on several target rows is scaled once and copied.
      std::memcpy(row + x0, lastRow + x0, static_cast<size_t>(x1 - x0) * 4);
    } else {
      for (int tx = x0; tx < x1; ++tx) row[tx] = sourceRow[x_.source[tx]];
    }
    lastSource = sourceRow;
    lastRow = row;
  }
  return SDL_Rect{box_.x + x0, box_.y + y0, x1 - x0, y1 - y0};
}

}  // namespace vark
