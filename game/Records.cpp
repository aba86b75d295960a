// Record files: names are 8 bytes each (0 where shorter), scores 32-bit little-endian. They are read once
// at start-up and rewritten whole whenever they change.
#include "game/Records.h"

#include "game/GameState.h"
#include "runtime/core/FileChannels.h"

namespace {

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
  name += text;
}

// The letters of the credit line: each value v stands for the character with code v + 64, so 1 is "A";
// -32 gives a blank. It reads "THE GEM WORKSHOP".
constexpr double kCreditCodes[16] = {20, 8, 5, -32, 7, 5, 13, -32, 23, 15, 18, 11, 19, 8, 15, 16};

}  // namespace

void LoadRecords() {
  GameState& g = G();
  FileOpen(1, "./Maps/Player.bin", 1);
  for (int i = 0; i < 8; ++i) g.PlayerNameBytes[i] = ReadByte(1);
  FileClose(1);
  FileOpen(1, "./Maps/Name.bin", 1);
  for (int i = 0; i < 6400; ++i) g.ScoreNameBytes[i] = ReadByte(1);
  FileClose(1);
  FileOpen(1, "./Maps/Data.bin", 1);
  for (int i = 0; i < 800; ++i) g.Scores[i] = ReadLong(1);
  FileClose(1);
  BuildScoreNames();
  FileOpen(1, "./Maps/Duzozez.bin", 1);
  for (int i = 0; i < 32; ++i) g.PlayerSlotBytes[i] = ReadByte(1);
  FileClose(1);
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
  FileOpen(1, "./Maps/Player.bin", 0);
  for (int i = 0; i < 8; ++i) WriteByte(1, g.PlayerNameBytes[i]);
  FileClose(1);
}

void SavePlayerSlots() {
  GameState& g = G();
  for (int k = 0; k < 4; ++k) NameToBytes(g.PlayerSlots[k], g.PlayerSlotBytes, 8 * k);
  FileOpen(1, "./Maps/Duzozez.bin", 0);
  for (int i = 0; i < 32; ++i) WriteByte(1, g.PlayerSlotBytes[i]);
  FileClose(1);
}

void RecordLevelScore() {
  GameState& g = G();
  const int base = (static_cast<int>(g.LevelNumber) - 1) * 8;
  int place = -1;
  for (int i = 0; i < 8; ++i) {
    if (g.Scores[base + i] < g.Score) {
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
  g.Scores[base + place] = g.Score;
  g.ScoreNames[base + place] = g.PlayerName;
}

void SaveScores() {
  GameState& g = G();
  FileOpen(1, "./Maps/Data.bin", 0);
  for (int e = 0; e < 800; ++e) WriteLong(1, g.Scores[e]);
  FileClose(1);
  for (int e = 0; e < 800; ++e) NameToBytes(g.ScoreNames[e], g.ScoreNameBytes, 8 * e);
  FileOpen(1, "./Maps/Name.bin", 0);
  for (int i = 0; i < 6400; ++i) WriteByte(1, g.ScoreNameBytes[i]);
  FileClose(1);
}

void BuildCreditText() {
  GameState& g = G();
  for (int i = 0; i < 16; ++i) g.CreditCodes[i] = kCreditCodes[i];
  for (int i = 0; i < 16; ++i) g.CreditText = g.CreditText + CharFromCode(g.CreditCodes[i] + 64);
}
