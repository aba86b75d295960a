// The four record files as bytes, for making them whole outside a running game: the folders a test or a
// tool prepares, and reading back what a game left there. Their layout: the player's name (Player.bin),
// the four stored names (Duzozez.bin), and for every level eight places, each a name (Name.bin) and a
// 32-bit little-endian score (Data.bin), entry = (level - 1) * 8 + place. A name is 8 bytes, cut or
// padded with zero bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace record {
constexpr int kNameBytes = 8;
constexpr int kPlacesPerLevel = 8;
constexpr int kLevels = 22;
constexpr int kEntries = 800;  // the tables have room for 100 levels
constexpr int kPlayerBytes = kNameBytes;
constexpr int kSlotsBytes = 4 * kNameBytes;
constexpr int kNamesBytes = kEntries * kNameBytes;
constexpr int kScoresBytes = kEntries * 4;
// The score of `entry` from the bytes of Data.bin.
uint32_t ScoreAt(const uint8_t* scores, int entry);
}  // namespace record

struct RecordFiles {
  std::vector<uint8_t> player = std::vector<uint8_t>(record::kPlayerBytes, 0);  // Player.bin
  std::vector<uint8_t> slots = std::vector<uint8_t>(record::kSlotsBytes, 0);    // Duzozez.bin
  std::vector<uint8_t> names = std::vector<uint8_t>(record::kNamesBytes, 0);    // Name.bin
  std::vector<uint8_t> data = std::vector<uint8_t>(record::kScoresBytes, 0);    // Data.bin

  void SetScore(int entry, uint32_t value);
  uint32_t Score(int entry) const;
  void SetScoreName(int entry, const std::string& name);
  // The name of an entry as the game reads it: its bytes up to eight, zero bytes left out.
  std::string ScoreName(int entry) const;
  void SetSlotName(int slot, const std::string& name);
  void SetPlayerName(const std::string& name);
};

// Writes Player.bin, Duzozez.bin, Name.bin and Data.bin under "<dir>/Maps/" (made when missing); false
// when any of them could not be written whole.
[[nodiscard]] bool WriteRecordFiles(const std::string& dir, const RecordFiles& files);
// Reads the four files from "<dir>/Maps/"; false when one is missing or shorter than its layout.
[[nodiscard]] bool ReadRecordFiles(const std::string& dir, RecordFiles& files);
