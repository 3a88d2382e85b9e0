#include "platform/sound/midi_check.h"

#include <cstdint>
#include <optional>

#include "platform/base/byte_order.h"

namespace vark {
namespace {

// Walks a byte range, never past its end.
class Reader {
 public:
  Reader(std::string_view bytes, size_t at, size_t end) : bytes_(bytes), at_(at), end_(end) {}
  size_t Left() const { return end_ - at_; }
  bool AtEnd() const { return at_ >= end_; }
  std::optional<uint8_t> Byte() {
    if (AtEnd()) return std::nullopt;
    return static_cast<uint8_t>(bytes_[at_++]);
  }
  // A variable-length number: seven bits a byte, at most four bytes.
  std::optional<uint32_t> VariableLength() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      auto b = Byte();
      if (!b) return std::nullopt;
      value = value << 7 | (*b & 0x7F);
      if (!(*b & 0x80)) return value;
    }
    return std::nullopt;
  }
  bool Skip(size_t count) {
    if (count > Left()) return false;
    at_ += count;
    return true;
  }

 private:
  std::string_view bytes_;
  size_t at_, end_;
};

// Data bytes after a channel message's status: one for program and channel pressure.
size_t DataBytes(uint8_t status) { return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2; }

std::string TrackProblem(Reader track) {
  uint8_t running = 0;  // the last channel status; meta and system-exclusive events end it
  while (!track.AtEnd()) {
    if (!track.VariableLength()) return "an event's time runs past its track";
    auto first = track.Byte();
    if (!first) return "a track ends inside an event";
    uint8_t status = *first;
    if (status < 0x80) {
      if (!running) return "a data byte with no status before it";
      status = running;
      if (!track.Skip(DataBytes(status) - 1)) return "a track ends inside an event";
      continue;
    }
    if (status == 0xFF && !track.Byte()) return "a track ends inside an event";
    if (status == 0xFF || status == 0xF0 || status == 0xF7) {
      running = 0;
      auto length = track.VariableLength();
      if (!length || !track.Skip(*length)) return "an event claims more bytes than its track holds";
      continue;
    }
    if (status >= 0xF0) return "a system message that has no place in a file";
    running = status;
    if (!track.Skip(DataBytes(status))) return "a track ends inside an event";
  }
  return "";
}

}  // namespace

std::string MidiStructureProblem(std::string_view bytes) {
  constexpr size_t kChunkHead = 8;
  if (!bytes.starts_with("MThd")) return "not a MIDI file";
  size_t at = 0;
  while (bytes.size() - at >= kChunkHead) {
    std::string_view type = bytes.substr(at, 4);
    size_t length = ReadBigEndian(bytes, at + 4, 4);
    at += kChunkHead;
    if (length > bytes.size() - at) return "a chunk runs past the end of the file";
    if (type == "MTrk") {
      std::string problem = TrackProblem(Reader(bytes, at, at + length));
      if (!problem.empty()) return problem;
    }
    at += length;
  }
  return "";
}

}  // namespace vark
