// Decoded effects by path and use. An effect is short and played again and again: it is
// decoded on the asking thread the first time and kept for the whole run. Tunes are not
// kept: they are streamed as they play (tune_work.h).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/sound/sound_decode.h"

namespace vark {

class SoundStore {
 public:
  using Sound = std::shared_ptr<const Samples>;
  // Returns the decoded sound, empty on failure.
  using Decoder = std::function<Samples(const std::string& path, SoundUse use)>;
  // Whether the file holds a tune, to be streamed rather than decoded whole.
  using IsTune = std::function<bool(const std::string& path)>;

  explicit SoundStore(Decoder decode) : decode_(std::move(decode)) {}
  // The sound, or null when the file cannot be decoded (tried once).
  Sound Find(const std::string& path, SoundUse use);

 private:
  Decoder decode_;
  std::map<std::pair<std::string, SoundUse>, Sound> entries_;
};

}  // namespace vark
