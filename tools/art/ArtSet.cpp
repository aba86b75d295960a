#include "tools/art/ArtSet.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "game/GameWords.h"
#include "tools/art/Actors.h"
#include "tools/art/Effects.h"
#include "tools/art/Fonts.h"
#include "tools/art/Fruits.h"
#include "tools/art/Menu.h"
#include "tools/art/Tiles.h"

namespace art {

const Image& ArtSet::Find(const std::string& name) const {
  for (const auto& [n, image] : pngs)
    if (n == name) return image;
  throw std::runtime_error("no picture named " + name);
}

ArtSet BuildArtSet() {
  ArtSet set;
  auto add = [&](const std::string& name, Image image) { set.pngs.emplace_back(name, std::move(image)); };
  auto addHalves = [&](const std::string& upper, const std::string& lower,
                       const std::vector<Image>& figures) {
    Image top, bottom;
    SplitFigures(figures, top, bottom);
    add("Graphic/" + upper + ".png", std::move(top));
    add("Graphic/" + lower + ".png", std::move(bottom));
  };
  auto walk = [](auto&& draw, Facing facing) {
    std::vector<Image> figures;
    for (int f = 0; f < 8; ++f) figures.push_back(draw(facing, f));
    return figures;
  };
  struct Direction {
    const char* letter;
    Facing facing;
  };
  const Direction directions[4] = {
      {"R", Facing::kRight}, {"L", Facing::kLeft}, {"U", Facing::kUp}, {"D", Facing::kDown}};

  add("Graphic/Tiles1.png", MakeTileSheet());
  add("Graphic/ExitStrip.png", JoinStrip(DrawExitFrames()));
  add("Graphic/GemsStrip.png", JoinStrip(DrawGemFrames()));
  add("Graphic/FireStrip.png", JoinStrip(DrawFireFrames()));
  for (const Direction& d : directions)
    addHalves(std::string("Boy") + d.letter + "1", std::string("Boy") + d.letter + "2",
              walk(DrawBoyFigure, d.facing));
  add("Graphic/DiaSuck.png", JoinStrip(DrawGemSuckFrames()));
  add("Graphic/KeySuck.png", JoinStrip(DrawKeySuckFrames()));
  addHalves("Shrink1", "Shrink2", DrawShrinkFigures());
  add("Graphic/ExplosStrip.png", JoinStrip(DrawExplosionFrames()));
  for (int k = 0; k < kFruitKinds; ++k)
    add("Graphic/Fruit" + std::to_string(k) + ".png", JoinStrip(DrawFruitFrames(k)));
  for (const Direction& d : directions)
    addHalves(std::string("Bad") + d.letter + "1Strip", std::string("Bad") + d.letter + "2Strip",
              walk(DrawBaddieFigure, d.facing));
  add("Graphic/CloudStrip.png", JoinStrip(DrawCloudFrames()));
  {
    std::vector<Image> turn;
    for (int f = 0; f < 8; ++f) turn.push_back(DrawBaddieTurn(f));
    addHalves("BadFlush1", "BadFlush2", turn);
  }
  for (const Direction& d : directions)
    addHalves(std::string("Fly") + d.letter + "1", std::string("Fly") + d.letter + "2",
              walk(DrawBatFigure, d.facing));
  add("Graphic/BoxStrip.png", MakeBoxStrip());
  add("Graphic/MouseStrip.png", MakeMouseStrip());
  add("Graphic/BackBild.png", MakeBackground());
  add("Graphic/xFont.png", MakeXFont());
  // The menu letters, one picture for each of the glyph slots: character codes 32 onwards.
  for (int i = 0; i <= sprite::kLastGlyph - sprite::kFirstGlyph; ++i)
    add("Chars/Char" + std::to_string(i) + ".png", MakeCharGlyph(32 + i));
  set.smallFont = MakeSmallFont();
  return set;
}

}  // namespace art
