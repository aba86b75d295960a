// Record files: names are 8 bytes each (0 where shorter), scores 32-bit little-endian. They are read at
// start-up and rewritten whole whenever they change, in the records folder: the player's own data folder,
// or the game folder when the game was started with --data.
//
// Two copies of the game may run at once. Every read and save holds the records lock, and a save first
// takes in what the other copy saved since: the high-score save enters this copy's new results into the
// tables as they are on disk, and the stored-names save replaces only the names this copy changed. The two
// files of the high-score tables are saved as one, so a kill or a full disk never pairs new scores with
// old names.
#include "game/Records.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "game/GameState.h"
#include "game/RecordFiles.h"
#include "runtime/core/FileChannels.h"
#include "runtime/core/RecordsFolder.h"
#include "runtime/core/RegularFile.h"

namespace {

// The four record files, under "Maps/" in the records folder, and their sizes.
struct RecordFile {
  const char* path;
  int bytes;
};
constexpr RecordFile kPlayerFile{"Maps/Player.bin", record::kPlayerBytes};
constexpr RecordFile kSlotsFile{"Maps/Duzozez.bin", record::kSlotsBytes};
constexpr RecordFile kNamesFile{"Maps/Name.bin", record::kNamesBytes};
constexpr RecordFile kScoresFile{"Maps/Data.bin", record::kScoresBytes};
constexpr RecordFile kRecordFiles[] = {kPlayerFile, kSlotsFile, kNamesFile, kScoresFile};
// A record file read whole is read up to this size; anything longer is not one of ours.
constexpr size_t kMaxRecordBytes = 1 << 20;

const std::vector<std::string>& RecordNames() {
  static const std::vector<std::string> names = {"Player.bin", "Duzozez.bin", "Name.bin", "Data.bin"};
  return names;
}

// Character codes of a name: byte j is character j, 0 past the end; characters after the eighth are lost.
void NameToBytes(const RtString& name, RtNumArray& bytes, int base) {
  for (int j = 0; j < 8; ++j) bytes[base + j] = CharCodeAt(name, j);
}

// Appends the non-zero bytes to the name; zero bytes add nothing wherever they stand. The bytes are
// gathered first and appended at once: 800 names are built at every start.
void BytesToName(RtString& name, RtNumArray& bytes, int base) {
  char text[9] = {};
  int n = 0;
  for (int j = 0; j < 8; ++j) {
    const char c = CodeToChar(bytes[base + j]);
    if (c != 0) text[n++] = c;
  }
  if (n > 0) name += text;  // appending nothing would still give an empty name a buffer
}

// The letters of the credit line: each value v stands for the character with code v + 64, so 1 is "A";
// -32 gives a blank. It reads "THE GEM WORKSHOP".
constexpr double kCreditCodes[16] = {20, 8, 5, -32, 7, 5, 13, -32, 23, 15, 18, 11, 19, 8, 15, 16};

// Reads a record file whole; false when it cannot be read or is shorter than its layout.
bool ReadWholeRecord(const RecordFile& file, std::vector<uint8_t>& bytes) {
  return ReadRegularFile(RecordPath(file.path), kMaxRecordBytes, bytes) &&
         bytes.size() >= static_cast<size_t>(file.bytes);
}

// A records folder of the player's own gets, on first start, every record file it lacks: the game
// folder's copy (the all-zero records shipped with the game, or the records an older install kept there),
// or an all-zero file when the game folder has none either. The copies are put in place together.
void MakeMissingRecords() {
  if (RecordsFolder().empty()) return;  // the game folder's records are the player's
  bool copying = false;
  for (const RecordFile& file : kRecordFiles) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(RecordPath(file.path), ec))) continue;
    std::vector<uint8_t> bytes;
    if (!ReadRegularFile(std::string("./") + file.path, kMaxRecordBytes, bytes))
      bytes.assign(static_cast<size_t>(file.bytes), 0);
    if (!copying) BeginWriteGroup();
    copying = true;
    FileOpen(1, RecordPath(file.path), 0);
    for (uint8_t byte : bytes) WriteByte(1, byte);
    FileClose(1);
  }
  if (copying) CommitWriteGroup();
}

// Enters `score` with `name` into the eight places of `level`: below equal results, the last place
// dropping out; a score not above any place changes nothing.
void EnterResult(double level, double score, const RtString& name) {
  GameState& g = G();
  const int base = (static_cast<int>(level) - 1) * 8;
  int place = -1;
  for (int i = 0; i < 8; ++i) {
    if (g.Scores[base + i] < score) {
      place = i;
      break;
    }
  }
  if (place < 0) return;
  // Places from here down move one down; the old last place drops out.
  for (int j = place; j <= 6; ++j) {
    g.ShiftScores[j - place] = g.Scores[base + j];
    g.ShiftNames[j - place] = g.ScoreNames[base + j];
  }
  for (int j = place; j <= 6; ++j) {
    g.Scores[base + j + 1] = g.ShiftScores[j - place];
    g.ScoreNames[base + j + 1] = g.ShiftNames[j - place];
  }
  g.Scores[base + place] = score;
  g.ScoreNames[base + place] = name;
}

// The tables as they are on disk now (another copy may have saved since), with this copy's unsaved
// results entered again. When either file cannot be read whole, the tables stay as this copy has them
// and replace the damaged files.
void TakeInSavedScores() {
  GameState& g = G();
  std::vector<uint8_t> data, names;
  if (ReadWholeRecord(kScoresFile, data) && ReadWholeRecord(kNamesFile, names)) {
    for (int e = 0; e < 800; ++e) {
      g.Scores[e] = record::ScoreAt(data.data(), e);
      g.ScoreNames[e] = RtString();
    }
    for (int i = 0; i < 6400; ++i) g.ScoreNameBytes[i] = names[static_cast<size_t>(i)];
    BuildScoreNames();
    for (const LevelResult& result : g.UnsavedResults) EnterResult(result.level, result.score, result.name);
  }
  g.UnsavedResults.clear();
}

// Stored names this copy has not changed since it last read or wrote them take the names on disk now, so
// that a name another copy stored in the meantime stays.
void TakeInSavedSlots() {
  GameState& g = G();
  std::vector<uint8_t> disk;
  if (!ReadWholeRecord(kSlotsFile, disk)) return;
  for (int k = 0; k < 4; ++k) {
    RtString before;
    BytesToName(before, g.PlayerSlotBytes, 8 * k);
    if (!(g.PlayerSlots[k] == before)) continue;
    RtString now;
    for (int j = 0; j < 8; ++j) now = now + CharFromCode(disk[static_cast<size_t>(8 * k + j)]);
    g.PlayerSlots[k] = now;
  }
}

// The first `count` bytes of a record file into `to`, read as one block rather than byte by byte (the
// loads read 7,240 bytes at every start).
void ReadRecordBytes(const RecordFile& file, RtNumArray& to, int count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  FileOpen(1, RecordPath(file.path), 1);
  ReadBlock(1, 1, bytes.size(), bytes.data());
  FileClose(1);
  for (int i = 0; i < count; ++i) to[i] = bytes[static_cast<size_t>(i)];
}

// Writes the first `count` values of `from` to channel 1 as one block, each as the writer of `width`
// bytes would (the saves write 10,440 bytes at most).
void WriteRecordValues(const RtNumArray& from, int width, int count) {
  std::vector<double> values(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) values[static_cast<size_t>(i)] = from[i];
  WriteBlock(1, width, values);
}

}  // namespace

void LoadRecords() {
  GameState& g = G();
  RecordsLock lock(RecordNames());
  MakeMissingRecords();
  ReadRecordBytes(kPlayerFile, g.PlayerNameBytes, 8);
  ReadRecordBytes(kNamesFile, g.ScoreNameBytes, 6400);
  std::vector<uint8_t> data(3200);
  FileOpen(1, RecordPath(kScoresFile.path), 1);
  ReadBlock(1, 4, 800, data.data());
  FileClose(1);
  for (int e = 0; e < 800; ++e) g.Scores[e] = record::ScoreAt(data.data(), e);
  BuildScoreNames();
  ReadRecordBytes(kSlotsFile, g.PlayerSlotBytes, 32);
  BuildPlayerSlots();
  BytesToName(g.PlayerName, g.PlayerNameBytes, 0);
}

void BuildScoreNames() {
  GameState& g = G();
  for (int e = 0; e < 800; ++e) BytesToName(g.ScoreNames[e], g.ScoreNameBytes, 8 * e);
}

void BuildPlayerSlots() {
  GameState& g = G();
  for (int k = 0; k < 4; ++k) BytesToName(g.PlayerSlots[k], g.PlayerSlotBytes, 8 * k);
}

void SavePlayerName() {
  GameState& g = G();
  NameToBytes(g.PlayerName, g.PlayerNameBytes, 0);
  RecordsLock lock(RecordNames());
  FileOpen(1, RecordPath(kPlayerFile.path), 0);
  WriteRecordValues(g.PlayerNameBytes, 1, 8);
  FileClose(1);
}

void SavePlayerSlots() {
  GameState& g = G();
  RecordsLock lock(RecordNames());
  TakeInSavedSlots();
  for (int k = 0; k < 4; ++k) NameToBytes(g.PlayerSlots[k], g.PlayerSlotBytes, 8 * k);
  FileOpen(1, RecordPath(kSlotsFile.path), 0);
  WriteRecordValues(g.PlayerSlotBytes, 1, 32);
  FileClose(1);
}

void RecordLevelScore() {
  GameState& g = G();
  EnterResult(g.LevelNumber, g.Score, g.PlayerName);
  g.UnsavedResults.push_back(LevelResult{g.LevelNumber, g.Score, g.PlayerName});
}

void SaveScores() {
  GameState& g = G();
  RecordsLock lock(RecordNames());
  TakeInSavedScores();
  BeginWriteGroup();
  FileOpen(1, RecordPath(kScoresFile.path), 0);
  WriteRecordValues(g.Scores, 4, 800);
  FileClose(1);
  for (int e = 0; e < 800; ++e) NameToBytes(g.ScoreNames[e], g.ScoreNameBytes, 8 * e);
  FileOpen(1, RecordPath(kNamesFile.path), 0);
  WriteRecordValues(g.ScoreNameBytes, 1, 6400);
  FileClose(1);
  CommitWriteGroup();
}

void BuildCreditText() {
  GameState& g = G();
  for (int i = 0; i < 16; ++i) g.CreditCodes[i] = kCreditCodes[i];
  for (int i = 0; i < 16; ++i) g.CreditText = g.CreditText + CharFromCode(g.CreditCodes[i] + 64);
}
