#include "output.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <system_error>

#include "platform/files/atomic_file.h"
#include "platform/base/owned.h"

namespace assetgen {

namespace {

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// An SDL stream that appends everything written to a string, so SDL_image can
// encode into memory and the file is then written atomically like every other.
struct StringStream {
  std::string* bytes;
  Sint64 position = 0;
};

StringStream* StreamOf(SDL_RWops* rw) { return static_cast<StringStream*>(rw->hidden.unknown.data1); }

Sint64 StreamSize(SDL_RWops* rw) { return static_cast<Sint64>(StreamOf(rw)->bytes->size()); }

Sint64 StreamSeek(SDL_RWops* rw, Sint64 offset, int whence) {
  StringStream* s = StreamOf(rw);
  Sint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? s->position : StreamSize(rw);
  if (base + offset < 0) return -1;
  s->position = base + offset;
  return s->position;
}

size_t StreamRead(SDL_RWops*, void*, size_t, size_t) { return 0; }

size_t StreamWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
  StringStream* s = StreamOf(rw);
  size_t length = size * count;
  size_t end = static_cast<size_t>(s->position) + length;
  if (s->bytes->size() < end) s->bytes->resize(end);
  s->bytes->replace(static_cast<size_t>(s->position), length, static_cast<const char*>(data), length);
  s->position = static_cast<Sint64>(end);
  return count;
}

int StreamClose(SDL_RWops* rw) {
  SDL_FreeRW(rw);
  return 0;
}

}  // namespace

std::string EncodePng(cairo_surface_t* surface) {
  std::string bytes;
  cairo_surface_flush(surface);
  cairo_surface_write_to_png_stream(surface, AppendToString, &bytes);
  return bytes;
}

std::string EncodeJpeg(cairo_surface_t* surface, int quality) {
  cairo_surface_flush(surface);
  vark::OwnedSurface view(SDL_CreateRGBSurfaceWithFormatFrom(
      cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
      cairo_image_surface_get_height(surface), 32, cairo_image_surface_get_stride(surface), SDL_PIXELFORMAT_XRGB8888));
  std::string bytes;
  if (view == nullptr) return bytes;
  StringStream stream{&bytes};
  SDL_RWops* rw = SDL_AllocRW();
  rw->size = StreamSize;
  rw->seek = StreamSeek;
  rw->read = StreamRead;
  rw->write = StreamWrite;
  rw->close = StreamClose;
  rw->hidden.unknown.data1 = &stream;
  if (IMG_SaveJPG_RW(view.get(), rw, 1, quality) != 0) bytes.clear();  // closes the stream
  return bytes;
}

Output::~Output() {
  for (SheetEntry& e : sheet_) cairo_surface_destroy(e.surface);
}

std::filesystem::path Output::PathOf(const std::string& name) const {
  return root_ / std::filesystem::path(std::u8string(name.begin(), name.end()));
}

void Output::SavePicture(const std::string& name, cairo_surface_t* surface, PictureFormat format) {
  std::string bytes = format == PictureFormat::kJpeg ? EncodeJpeg(surface, 90) : EncodePng(surface);
  SaveBytes(name, bytes, surface);
}

void Output::SaveBytes(const std::string& name, std::string_view bytes, cairo_surface_t* preview) {
  std::filesystem::path path = PathOf(name);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (bytes.empty() || !vark::WriteFileAtomic(path, bytes)) {
    std::fprintf(stderr, "assetgen: could not write %s\n", name.c_str());
    ++failures_;
    return;
  }
  if (preview != nullptr) sheet_.push_back({name, cairo_surface_reference(preview)});
}

void Output::ClearFolder(const std::string& name) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(PathOf(name), error))
    if (entry.is_regular_file(error)) std::filesystem::remove(entry.path(), error);
}

}  // namespace assetgen
