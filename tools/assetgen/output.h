// Where generated files go: writes pictures, sounds and text below the data
// folder and remembers every picture for the contact sheet.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace assetgen {

enum class PictureFormat { kPng, kJpeg };

struct SheetEntry {
  std::string name;          // path below the data folder, as written
  cairo_surface_t* surface;  // a reference owned by the entry list
};

class Output {
 public:
  explicit Output(std::filesystem::path root) : root_(std::move(root)) {}
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Writes the picture under `name` (a path below the data folder with '/'
  // separators) and adds it to the contact sheet.
  void SavePicture(const std::string& name, cairo_surface_t* surface, PictureFormat format);
  // Writes raw bytes; `preview` (optional) is shown on the contact sheet.
  void SaveBytes(const std::string& name, std::string_view bytes, cairo_surface_t* preview = nullptr);

  // Removes every file of a folder below the data folder. Called before writing a
  // folder the game lists whole (the faces), so that a file an older version wrote
  // under another name does not stay behind.
  void ClearFolder(const std::string& name);

  const std::vector<SheetEntry>& sheet() const { return sheet_; }
  // Number of files that could not be written.
  int failures() const { return failures_; }

 private:
  std::filesystem::path PathOf(const std::string& name) const;
  std::filesystem::path root_;
  std::vector<SheetEntry> sheet_;
  int failures_ = 0;
};

// Encodes a surface as PNG or JPEG bytes.
std::string EncodePng(cairo_surface_t* surface);
std::string EncodeJpeg(cairo_surface_t* surface, int quality);

}  // namespace assetgen
