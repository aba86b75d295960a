// Writes the game state as one JSON object: the level's numbers under their own names, the records and
// the four layers. Arrays not declared yet (an early error) are written as empty.
#include "game/StateDump.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "game/GameState.h"
#include "runtime/core/Errors.h"
#include "runtime/core/RuntimeContext.h"

namespace {

std::string Number(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string Text(const RtString& s) {
  std::string out = "\"";
  const std::string bytes = s;
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Numbers(const RtNumArray& a) {
  std::string out = "[";
  if (a.Declared()) {
    for (int i = 0; i < a.Shape().dim[0]; ++i) {
      if (i) out += ',';  // appended apart: GCC 12 at -O3 warns about `"," + std::string`
      out += Number(a[i]);
    }
  }
  return out + "]";
}

std::string Texts(const RtStrArray& a) {
  std::string out = "[";
  if (a.Declared()) {
    for (int i = 0; i < a.Shape().dim[0]; ++i) {
      if (i) out += ',';  // appended apart: GCC 12 at -O3 warns about `"," + std::string`
      out += Text(a[i]);
    }
  }
  return out + "]";
}

std::string EffectJson(const Effect& fx) {
  return "{\"frame\":" + Number(fx.frame) + ",\"x\":" + Number(fx.x) + ",\"y\":" + Number(fx.y) + "}";
}

}  // namespace

std::string GameStateJson(int exitCode) {
  const GameState& g = G();
  const RuntimeContext& rt = Rt();
  std::ostringstream j;
  j << "{\n";
  j << "\"exitCode\":" << exitCode << ",\n";
  j << "\"errorCode\":" << Number(rt.error.errorCode) << ",\n";
  j << "\"frames\":" << rt.clock.frames << ",\n";
  const std::pair<const char*, double> scalars[] = {
      {"LevelNumber", g.LevelNumber},
      {"Score", g.Score},
      {"GemsLeft", g.GemsLeft},
      {"KeysHeld", g.KeysHeld},
      {"TimeLeft", g.TimeLeft},
      {"TimeTick", g.TimeTick},
      {"TimeOver", g.TimeOver},
      {"Phase", g.Phase},
      {"ExitOpen", g.ExitOpen},
      {"LevelOver", g.LevelOver},
      {"ExitSoundChannel", g.ExitSoundChannel},
      {"BoyX", g.BoyX},
      {"BoyY", g.BoyY},
      {"BoyState", g.BoyState},
      {"BoyFrame", g.BoyFrame},
      {"BoyStep", g.BoyStep},
      {"GemFrame", g.GemFrame},
      {"FireFrame", g.FireFrame},
      {"ExitFrame", g.ExitFrame},
      {"FruitShowing", g.FruitShowing},
      {"FruitSlot", g.FruitSlot},
      {"FruitFrame", g.FruitFrame},
      {"FruitX", g.FruitX},
      {"FruitY", g.FruitY},
      {"LevelStepCounter", g.LevelStepCounter},
      {"PointerFrame", g.PointerFrame},
  };
  for (const auto& [name, value] : scalars) j << "\"" << name << "\":" << Number(value) << ",\n";
  j << "\"GemSuckFx\":" << EffectJson(g.GemSuckFx) << ",\n";
  j << "\"KeySuckFx\":" << EffectJson(g.KeySuckFx) << ",\n";
  j << "\"BoomFx\":" << EffectJson(g.BoomFx) << ",\n";
  j << "\"ShrinkFx\":" << EffectJson(g.ShrinkFx) << ",\n";
  j << "\"CloudFx\":" << EffectJson(g.CloudFx) << ",\n";
  j << "\"MenuCursor\":{\"state\":" << Number(g.MenuCursor.state)
    << ",\"frame\":" << Number(g.MenuCursor.frame) << ",\"x\":" << Number(g.MenuCursor.x)
    << ",\"y\":" << Number(g.MenuCursor.y) << "},\n";
  j << "\"PlayerName\":" << Text(g.PlayerName) << ",\n";
  j << "\"CreditText\":" << Text(g.CreditText) << ",\n";
  j << "\"PlayerSlots\":" << Texts(g.PlayerSlots) << ",\n";
  j << "\"Scores\":" << Numbers(g.Scores) << ",\n";
  j << "\"ScoreNames\":" << Texts(g.ScoreNames) << ",\n";
  j << "\"BlastX\":" << Numbers(g.BlastX) << ",\n";
  j << "\"BlastY\":" << Numbers(g.BlastY) << ",\n";
  j << "\"BlastFrame\":" << Numbers(g.BlastFrame) << ",\n";
  j << "\"GroundMap\":" << Numbers(g.GroundMap) << ",\n";
  j << "\"ItemMap\":" << Numbers(g.ItemMap) << ",\n";
  j << "\"CoverMap\":" << Numbers(g.CoverMap) << ",\n";
  j << "\"ActorMap\":" << Numbers(g.ActorMap) << "\n";
  j << "}\n";
  return j.str();
}

void InstallStateDump() {
  const std::string path = Rt().options.dumpPath;
  if (path.empty()) return;
  Rt().atEnd.push_back([path](int status) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
      ReportEndFailure("cannot write the state dump " + path + ": " + std::strerror(errno));
      return;
    }
    const std::string json = GameStateJson(status);
    const bool written = std::fwrite(json.data(), 1, json.size(), out) == json.size();
    const int writeError = errno;
    if (std::fclose(out) != 0 || !written)
      ReportEndFailure("cannot write the state dump " + path + ": " +
                       std::strerror(written ? errno : writeError));
  });
}

namespace {

// Where the value of the first field named `key` starts, or npos.
size_t ValueStart(const std::string& json, const std::string& key) {
  const std::string quoted = "\"" + key + "\":";
  const size_t at = json.find(quoted);
  return at == std::string::npos ? at : at + quoted.size();
}

}  // namespace

bool ReadDumpNumber(const std::string& json, const std::string& key, double& value) {
  const size_t at = ValueStart(json, key);
  if (at == std::string::npos) return false;
  char* end = nullptr;
  value = std::strtod(json.c_str() + at, &end);
  return end != json.c_str() + at;
}

bool ReadDumpNumbers(const std::string& json, const std::string& key, std::vector<double>& values) {
  values.clear();
  size_t at = ValueStart(json, key);
  if (at == std::string::npos || json[at] != '[') return false;
  ++at;
  while (at < json.size() && json[at] != ']') {
    char* end = nullptr;
    values.push_back(std::strtod(json.c_str() + at, &end));
    if (end == json.c_str() + at) return false;
    at = static_cast<size_t>(end - json.c_str());
    if (json[at] == ',') ++at;
  }
  return at < json.size();
}

bool ReadDumpText(const std::string& json, const std::string& key, std::string& text) {
  const size_t at = ValueStart(json, key);
  if (at == std::string::npos || json[at] != '"') return false;
  const size_t close = json.find('"', at + 1);
  if (close == std::string::npos) return false;
  text = json.substr(at + 1, close - at - 1);
  return true;
}
