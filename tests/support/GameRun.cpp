// Whole-game runs for the menu tests.
#include "tests/support/GameRun.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "game/GameMain.h"
#include "game/Menus.h"
#include "runtime/core/RuntimeContext.h"
#include "runtime/gfx2d/Renderer2D.h"
#include "runtime/program/Runtime.h"
#include "runtime/sound/Sound.h"
#include "tests/support/GameTestSupport.h"

namespace testing_support {

namespace {

constexpr int kCells = 40 * 30;

std::vector<uint8_t> Layer(int layer) {
  std::vector<uint8_t> cells(kCells, 0);
  auto at = [&](int column, int row) -> uint8_t& { return cells[static_cast<size_t>(row * 40 + column)]; };
  switch (layer) {
    case 1:  // ground: a wall tile all round
    case 4:  // actors: the same ring is solid, and the boy starts inside it
      for (int c = 0; c < 40; ++c) at(c, 0) = at(c, 29) = 1;
      for (int r = 0; r < 30; ++r) at(0, r) = at(39, r) = 1;
      if (layer == 4) at(kStartColumn, kStartRow) = 13;
      break;
    case 2:  // items: one gem and the exit
      at(10, 5) = 76;
      at(20, 10) = 74;
      break;
    default:
      break;
  }
  return cells;
}

// What the current run has seen; the hooks below write it.
struct Watch {
  long long frame = -1;
  std::vector<GlyphRun> text;
  std::set<int> playing;
};
Watch& Seen() {
  static Watch watch;
  return watch;
}

void WatchGlyph(double slot, double x, double y, double width, double height) {
  Watch& w = Seen();
  if (Rt().clock.frames != w.frame) {
    w.frame = Rt().clock.frames;
    w.text.clear();
  }
  const char c = static_cast<char>(slot - 50 + 32);
  if (!w.text.empty()) {
    GlyphRun& last = w.text.back();
    if (last.y == y && last.width == width && last.height == height &&
        last.x + width * static_cast<double>(last.text.size()) == x) {
      last.text += c;
      return;
    }
  }
  w.text.push_back(GlyphRun{x, y, width, height, std::string(1, c)});
}

// The game main with two watchers: the glyphs drawn, and the sounds still playing when the runtime shuts
// down (the sound device goes with it).
void WatchedGameMain() {
  // Only the glyph text stretches images.
  Rt().renderer->recorder = [](const DrawRecord& d) {
    if (d.kind == DrawRecord::Kind::kStretch) WatchGlyph(d.slot, d.x, d.y, d.width, d.height);
  };
  Rt().shutdown = [] {
    if (Rt().sound) {
      for (int slot = 1; slot <= 16; ++slot)
        for (int b = 0; b < 4; ++b)
          if (SoundPlaying(slot * 256 + b) == 1) Seen().playing.insert(slot);
    }
    ShutdownRuntime();
  };
  GameMain();
}

}  // namespace

GameFolder::GameFolder() {
  std::filesystem::create_directories(dir_.File("Maps"));
  for (int level = 1; level <= 4; ++level)
    for (int layer = 1; layer <= 4; ++layer)
      WriteFile(dir_.File("Maps/Map" + std::to_string(level) + "-" + std::to_string(layer) + ".bin"),
                Layer(layer));
  WriteRecords();
}

void GameFolder::WriteRecords() {
  EXPECT_TRUE(WriteRecordFiles(dir_.path(), records_));
}

void GameFolder::SetScore(int entry, uint32_t value) {
  records_.SetScore(entry, value);
  WriteRecords();
}

void GameFolder::SetScoreName(int entry, const std::string& name) {
  records_.SetScoreName(entry, name);
  WriteRecords();
}

void GameFolder::SetSlotName(int slot, const std::string& name) {
  records_.SetSlotName(slot, name);
  WriteRecords();
}

void GameFolder::SetPlayerName(const std::string& name) {
  records_.SetPlayerName(name);
  WriteRecords();
}

void GameFolder::AddSound(const std::string& name, int ms) {
  const uint32_t rate = 22050, frames = rate * static_cast<uint32_t>(ms) / 1000, bytes = frames * 2;
  std::vector<uint8_t> wav;
  auto id = [&](const char* s) {
    for (int i = 0; i < 4; ++i) wav.push_back(static_cast<uint8_t>(s[i]));
  };
  auto u32 = [&](uint32_t v) {
    for (int b = 0; b < 4; ++b) wav.push_back(static_cast<uint8_t>(v >> (8 * b)));
  };
  auto u16 = [&](uint16_t v) {
    wav.push_back(static_cast<uint8_t>(v));
    wav.push_back(static_cast<uint8_t>(v >> 8));
  };
  id("RIFF"), u32(36 + bytes), id("WAVE"), id("fmt "), u32(16);
  u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
  id("data"), u32(bytes);
  wav.resize(wav.size() + bytes, 0);
  std::filesystem::create_directories(std::filesystem::path(dir_.File(name)).parent_path());
  WriteFile(dir_.File(name), wav);
}

ReplayScript::ReplayScript() : text_("BRILLORA-REPLAY 1\nseed 1\n\n\n\n\n\n") {}

ReplayScript& ReplayScript::Add(const std::string& line, int times) {
  text_ += line;
  if (times > 1) text_ += (line.empty() ? "x" : " x") + std::to_string(times);
  text_ += "\n";
  return *this;
}

std::string Pointer::To(int column, int row) {
  const int x = column * 32 + 16, y = row * 32 + 16;
  const std::string motion = "dx=" + std::to_string(x - x_) + " dy=" + std::to_string(y - y_);
  x_ = x;
  y_ = y;
  return motion;
}

GlyphRun GameRun::Find(const std::string& prefix) const {
  for (const GlyphRun& run : lastFrameText)
    if (run.text.rfind(prefix, 0) == 0) return run;
  return GlyphRun{};
}

GameRun RunGame(const GameFolder& folder, const ReplayScript& replay, std::vector<std::string> extra) {
  const std::string replayPath = folder.File("run.rpl");
  WriteText(replayPath, replay.Text());
  std::vector<std::string> args{"--data", folder.path(), "--play", replayPath};
  args.insert(args.end(), extra.begin(), extra.end());
  Seen() = Watch{};
  GameRun run;
  const ProgramRun program = RunProgramWith(args, WatchedGameMain);
  run.status = program.status;
  run.out = program.out;
  run.err = program.err;
  // A last frame without any glyph (a game running) leaves the texts of an earlier frame behind.
  if (Seen().frame == Rt().clock.frames) run.lastFrameText = Seen().text;
  run.soundsPlayingAtEnd = Seen().playing;
  return run;
}

void ExpectGlyphRows(const std::vector<GlyphRun>& drawn, const std::vector<ExpectedGlyphRow>& rows) {
  ASSERT_EQ(drawn.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(drawn[i].text, rows[i].text);
    EXPECT_EQ(drawn[i].x, rows[i].x) << rows[i].text;
    EXPECT_EQ(drawn[i].y, rows[i].y) << rows[i].text;
    EXPECT_EQ(drawn[i].width, rows[i].width) << rows[i].text;
    EXPECT_EQ(drawn[i].height, rows[i].height) << rows[i].text;
  }
}

}  // namespace testing_support
