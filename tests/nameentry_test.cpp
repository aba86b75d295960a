// The name entry, driven whole-program: the title menu's PLAYER line opens it, the mouse spells a name on
// the letter grid, "<" clears, OK pads and leaves, and the slot labels store the name in "Maps/Duzozez.bin".
#include <gtest/gtest.h>

#include "game/GameState.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/GameRun.h"

namespace {

using namespace testing_support;

// Box up to PLAYER (two lines, 17 frames), then Return: the next line is the name entry's second frame.
ReplayScript OpenNameEntry() {
  return ReplayScript().Add("200", 17).Add("28");
}

// The grid cell of a character: letters on rows 4 and 5, digits and the signs on row 6, from column 4.
std::pair<int, int> CellOf(char c) {
  if (c >= 'A' && c <= 'M') return {c - 'A' + 4, 4};
  if (c >= 'N' && c <= 'Z') return {c - 'N' + 4, 5};
  if (c >= '0' && c <= '9') return {c - '0' + 4, 6};
  if (c == '<') return {14, 6};
  return {c == 'O' ? 15 : 16, 6};  // 'O' / 'K' of OK (only reached through Click(..., "OK"))
}

// One frame per character: move onto it with the left button down.
void Type(ReplayScript& replay, Pointer& pointer, const std::string& chars) {
  for (char c : chars) {
    const auto [column, row] = CellOf(c);
    replay.Add(pointer.To(column, row) + " lmb");
  }
}

void ClickCell(ReplayScript& replay, Pointer& pointer, int column, int row) {
  replay.Add(pointer.To(column, row) + " lmb");
}

void ClickOk(ReplayScript& replay, Pointer& pointer) {
  ClickCell(replay, pointer, 15, 6);
}

struct EntryFolder : GameFolder {
  EntryFolder() {
    // Sounds shorter than a frame, so that one still playing at the end was started in the last frame; the
    // click outlasts the 150 ms wait that follows it, but not the frame and the next click's wait.
    for (const char* name : {"Graphic/Crown.wav", "Graphic/Baddy.wav"}) AddSound(name, 20);
    AddSound("Graphic/Click.wav", 160);
    SetSlotName(0, "ANNA");
    SetSlotName(1, "BERT");
    SetPlayerName("OLD");
  }
};

std::string Name() {
  return G().PlayerName;
}

TEST(NameEntry, ScreenLayout) {
  EntryFolder folder;
  const GameRun run = RunGame(folder, OpenNameEntry().Add(""));
  const std::vector<testing_support::ExpectedGlyphRow> rows = {
      {"CLICK YOUR NAME!", 32, 20, 36, 28},
      {"ABCDEFGHIJKLM", 128, 128, 32, 32},
      {"NOPQRSTUVWXYZ", 128, 160, 32, 32},
      {"0123456789<OK", 128, 192, 32, 32},
      {"F1 ANNA", 128, 320, 32, 32},
      {"F2 BERT", 128, 352, 32, 32},
      {"F3 ", 128, 384, 32, 32},
      {"F4 ", 128, 416, 32, 32},
      {"OLD", 224, 260, 32, 32},
  };
  testing_support::ExpectGlyphRows(run.lastFrameText, rows);
}

TEST(NameEntry, ClickedNameIsPaddedToEightByOkAndNotSavedHere) {
  EntryFolder folder;
  Pointer pointer;
  ReplayScript replay = OpenNameEntry();
  Type(replay, pointer, "<AZ7");
  ClickCell(replay, pointer, 16, 6);  // the K of OK
  replay.Add("");
  const GameRun run = RunGame(folder, replay);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Name(), "AZ7     ");
  EXPECT_EQ(run.Find("PLAYER").text, "PLAYER AZ7     ");
  EXPECT_EQ(G().MenuCursor.y, 128);
  EXPECT_EQ(ReadFile(folder.File("Maps/Player.bin")), std::vector<uint8_t>({'O', 'L', 'D', 0, 0, 0, 0, 0}));

  // OK on an empty name gives eight blanks, with sound 10.
  Pointer second;
  replay = OpenNameEntry();
  Type(replay, second, "<");
  ClickOk(replay, second);
  const GameRun empty = RunGame(folder, replay);
  EXPECT_EQ(Name(), "        ");
  EXPECT_EQ(empty.soundsPlayingAtEnd.count(10), 1u);
}

TEST(NameEntry, ClearEmptiesTheWholeNameAndAFullNameTakesNoMore) {
  EntryFolder folder;
  folder.SetPlayerName("ABCDEFGH");
  Pointer pointer;
  ReplayScript replay = OpenNameEntry();
  Type(replay, pointer, "X");
  GameRun run = RunGame(folder, replay);
  EXPECT_EQ(Name(), "ABCDEFGH");
  EXPECT_EQ(run.soundsPlayingAtEnd.count(14), 0u);  // a refused character plays no click

  Type(replay, pointer, "<");
  run = RunGame(folder, replay);
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(run.soundsPlayingAtEnd.count(14), 0u);  // neither does "<"

  Type(replay, pointer, "QRSTUVWX");
  run = RunGame(folder, replay);
  EXPECT_EQ(Name(), "QRSTUVWX");
  EXPECT_EQ(run.soundsPlayingAtEnd.count(14), 1u);

  Type(replay, pointer, "Y");
  ClickOk(replay, pointer);
  run = RunGame(folder, replay);
  EXPECT_EQ(Name(), "QRSTUVWX");  // no ninth letter, and nothing to pad
}

TEST(NameEntry, HeldButtonRepeatsTheCharacter) {
  EntryFolder folder;
  Pointer pointer;
  ReplayScript replay = OpenNameEntry();
  Type(replay, pointer, "<M");
  replay.Add("lmb", 2);
  RunGame(folder, replay);
  EXPECT_EQ(Name(), "MMM");
}

TEST(NameEntry, SlotLabelStoresTheNameAsItIsAndRewritesTheSlotFile) {
  EntryFolder folder;
  Pointer pointer;
  ReplayScript replay = OpenNameEntry();
  Type(replay, pointer, "<ABC");
  ClickCell(replay, pointer, 5, 11);  // the digit of "F2 "
  GameRun run = RunGame(folder, replay);
  EXPECT_EQ(std::string(G().PlayerSlots[1]), "ABC");
  EXPECT_EQ(run.soundsPlayingAtEnd.count(9), 1u);
  const std::vector<uint8_t> expected = {'A', 'N', 'N', 'A', 0, 0, 0, 0, 'A', 'B', 'C', 0, 0, 0, 0, 0,
                                         0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0, 0, 0, 0, 0};
  EXPECT_EQ(ReadFile(folder.File("Maps/Duzozez.bin")), expected);

  // The blank after the digit of "F4 " stores under F4; the F1 slot, untouched, is written again as it was.
  folder.SetSlotName(1, "BERT");
  ClickCell(replay, pointer, 6, 13);
  replay.Add("");
  run = RunGame(folder, replay);
  std::vector<uint8_t> both = expected;
  for (int j = 0; j < 3; ++j) both[24 + static_cast<size_t>(j)] = static_cast<uint8_t>("ABC"[j]);
  EXPECT_EQ(ReadFile(folder.File("Maps/Duzozez.bin")), both);
  EXPECT_EQ(run.Find("F4").text, "F4 ABC");
  EXPECT_EQ(Name(), "ABC");
}

TEST(NameEntry, OtherCellsAndAllKeysDoNothing) {
  EntryFolder folder;
  // One byte more than the layout: any rewrite of the slot file would shorten it.
  std::vector<uint8_t> slots = ReadFile(folder.File("Maps/Duzozez.bin"));
  slots.push_back(0);
  WriteFile(folder.File("Maps/Duzozez.bin"), slots);
  Pointer pointer;
  ReplayScript replay = OpenNameEntry();
  const std::pair<int, int> dead[] = {
      {4, 10}, {4, 11}, {7, 11}, {10, 13},  // the F of a label, the stored names
      {3, 0},  {8, 0},                      // the title
      {8, 8},  {7, 8},                      // the edited name
      {3, 4},  {17, 4}, {17, 5}, {3, 6},   {17, 6}, {5, 7}, {5, 9}, {5, 14}, {19, 14}, {0, 0},
  };
  for (const auto& [column, row] : dead) ClickCell(replay, pointer, column, row);
  for (const char* keys : {"1", "28", "59", "60 62", "88", "200", "208", "57"}) replay.Add(keys);
  const GameRun run = RunGame(folder, replay);
  EXPECT_EQ(run.status, 0);  // the replay ran out: neither Escape nor F12 ended the program
  EXPECT_EQ(Name(), "OLD");
  EXPECT_EQ(run.Find("CLICK").text, "CLICK YOUR NAME!");
  EXPECT_EQ(ReadFile(folder.File("Maps/Duzozez.bin")), slots);
  EXPECT_EQ(run.soundsPlayingAtEnd.size(), 0u);
}

TEST(NameEntry, PointerStartsAtTheSamePlaceOnEveryVisit) {
  EntryFolder folder;
  Pointer first;
  ReplayScript replay = OpenNameEntry();
  Type(replay, first, "<");
  ClickCell(replay, first, 16, 6);
  replay.Add("28");   // Return still on PLAYER: the screen opens again
  replay.Add("lmb");  // at (96, 160), left of the N: nothing
  Pointer second;
  Type(replay, second, "<N");
  RunGame(folder, replay);
  EXPECT_EQ(Name(), "N");
}

}  // namespace
