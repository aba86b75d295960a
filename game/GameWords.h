// The game's words: what the numbers in the play field, the boy's state, the picture and sound slots and
// the keys mean. The game, the tools that make its levels and pictures, and the tests all say these names.
// The values are fixed: the level files, the stored records and the replays are written in them.
#pragma once

// The play field: 40 columns by 30 rows of 16 x 16 pixels; cell index = row * 40 + column.
constexpr int kColumns = 40;
constexpr int kRows = 30;
constexpr int kCells = kColumns * kRows;
constexpr int kCellSize = 16;

// Values of the item and actor layers that a rule looks at. Every other item value is a picture only
// (a frame of the tile strip); every other actor value is solid.
namespace cell {
// Item layer.
constexpr int kGemBox = 3;         // opened from below with a key: five gems at once
constexpr int kGemBoxOpen = 4;     // what an opened box becomes
constexpr int kKey = 22;           // taken by walking into it
constexpr int kTurnMarker = 73;    // a baddie standing here picks a new way (not drawn)
constexpr int kExit = 74;          // two cells wide; open once every gem is taken
constexpr int kGem = 76;           // taken by walking into it
constexpr int kFire = 109;         // animated, otherwise a picture
constexpr int kSwitch = 118;       // fired with Space from the cell below
constexpr int kSwitchFired = 126;  // what a fired switch becomes
constexpr int kBlastBlock = 200;   // the first one (row by row) is blown away when a switch fires
constexpr int kFruit = 216;        // placed now and then; the boy takes it, a baddie eats it
// Actor layer.
constexpr int kFree = 0;
constexpr int kSolid = 1;
constexpr int kBoy = 13;
constexpr int kClaimed = 34;     // the cell a walking baddie is moving into; the boy there is caught
constexpr int kBaddieDown = 54;  // a baddie at rest, by heading
constexpr int kBaddieUp = 62;
constexpr int kBaddieRight = 71;
constexpr int kBaddieLeft = 79;

constexpr bool IsBaddie(double v) {
  return v == kBaddieDown || v == kBaddieUp || v == kBaddieRight || v == kBaddieLeft;
}
// Baddies and the boy move through these; every other actor value blocks.
constexpr bool IsOpenActor(double v) {
  return v == kFree || v == kBoy || v == kClaimed || IsBaddie(v);
}
}  // namespace cell

// BoyState: what the boy is doing. 1 to 4 walk one cell in 8 frames; 5 works on the cell above him.
namespace boy {
constexpr int kStanding = 0;
constexpr int kWalkingRight = 1;
constexpr int kWalkingLeft = 2;
constexpr int kWalkingUp = 3;
constexpr int kWalkingDown = 4;
constexpr int kWorking = 5;    // opening a gem box or firing a switch
constexpr int kExploded = 10;  // caught or out of time: no further decisions
constexpr int kLeaving = 15;   // shrinking away through the open exit
}  // namespace boy

// Sprite slots. A figure is two 16 x 16 strips: the upper half drawn one cell above the lower half.
namespace sprite {
constexpr int kTiles = 1;  // the tile strip: one frame per cell value
constexpr int kExit = 2;   // 32 x 32
constexpr int kGem = 3;
constexpr int kFire = 4;
constexpr int kBoyRightUpper = 5;
constexpr int kBoyRightLower = 6;
constexpr int kBoyLeftUpper = 7;
constexpr int kBoyLeftLower = 8;
constexpr int kBoyUpUpper = 9;
constexpr int kBoyUpLower = 10;
constexpr int kBoyDownUpper = 11;
constexpr int kBoyDownLower = 12;
constexpr int kGemSuck = 13;
constexpr int kKeySuck = 14;
constexpr int kShrinkUpper = 15;
constexpr int kShrinkLower = 16;
constexpr int kBlast = 17;       // 32 x 32: a blown block, and the boy exploding
constexpr int kFirstFruit = 18;  // 18 to 23: one slot per kind of fruit
constexpr int kLastFruit = 23;
constexpr int kBaddieRightUpper = 28;
constexpr int kBaddieRightLower = 29;
constexpr int kBaddieLeftUpper = 30;
constexpr int kBaddieLeftLower = 31;
constexpr int kBaddieUpUpper = 32;
constexpr int kBaddieUpLower = 33;
constexpr int kBaddieDownUpper = 34;
constexpr int kBaddieDownLower = 35;
constexpr int kCloud = 36;  // a baddie eating a fruit
constexpr int kBaddieTurnUpper = 37;
constexpr int kBaddieTurnLower = 38;
constexpr int kMenuBox = 47;     // 192 x 32: the title menu's highlight box
constexpr int kPointer = 48;     // 32 x 32: the name entry's mouse pointer
constexpr int kFirstGlyph = 50;  // 50 to 113: the menu letters for character codes 32 to 95
constexpr int kLastGlyph = 113;
}  // namespace sprite

// Sound slots, each played with pan 0 and volume 1.
namespace sound {
constexpr int kStep = 1;
constexpr int kGem = 2;
constexpr int kKey = 3;  // also a fruit taken
constexpr int kExitOpens = 4;
constexpr int kExit = 5;  // the boy leaves through the exit; the game waits for its end
constexpr int kBoxOpened = 6;
constexpr int kClick = 7;         // loaded, never played
constexpr int kBlast = 8;         // a switch fired, or the boy exploding
constexpr int kFruitShows = 9;    // also a name stored in a slot
constexpr int kFruitEaten = 10;   // also the name entry's OK
constexpr int kTimeRunsOut = 11;  // every time unit of the last twelve
constexpr int kMenuMove = 12;
constexpr int kLevelLocked = 13;
constexpr int kLetter = 14;
constexpr int kPlayerSlot = 15;
constexpr int kHighScores = 16;
constexpr int kCount = 16;
}  // namespace sound

// Keyboard scan codes, as the input reports them and replays store them.
namespace key {
constexpr int kEscape = 1;
constexpr int kReturn = 28;
constexpr int kSpace = 57;
constexpr int kF1 = 59;  // F1 to F4 are 59 to 62
constexpr int kF4 = 62;
constexpr int kF12 = 88;
constexpr int kUp = 200;
constexpr int kLeft = 203;
constexpr int kRight = 205;
constexpr int kDown = 208;
}  // namespace key
