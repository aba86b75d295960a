#include "game/RecordFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

namespace {

void PutName(std::vector<uint8_t>& bytes, size_t offset, const std::string& name) {
  for (size_t j = 0; j < record::kNameBytes; ++j)
    bytes[offset + j] = j < name.size() ? static_cast<uint8_t>(name[j]) : 0;
}

struct FileOf {
  const char* name;
  std::vector<uint8_t> RecordFiles::*bytes;
};
constexpr FileOf kFiles[] = {{"Player.bin", &RecordFiles::player},
                             {"Duzozez.bin", &RecordFiles::slots},
                             {"Name.bin", &RecordFiles::names},
                             {"Data.bin", &RecordFiles::data}};

}  // namespace

void RecordFiles::SetScore(int entry, uint32_t value) {
  for (int b = 0; b < 4; ++b)
    data[static_cast<size_t>(entry * 4 + b)] = static_cast<uint8_t>(value >> (8 * b));
}

uint32_t record::ScoreAt(const uint8_t* scores, int entry) {
  const uint8_t* b = scores + 4 * entry;
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

uint32_t RecordFiles::Score(int entry) const {
  return record::ScoreAt(data.data(), entry);
}

void RecordFiles::SetScoreName(int entry, const std::string& name) {
  PutName(names, static_cast<size_t>(entry) * record::kNameBytes, name);
}

std::string RecordFiles::ScoreName(int entry) const {
  std::string name;
  for (size_t j = 0; j < record::kNameBytes; ++j) {
    const uint8_t c = names[static_cast<size_t>(entry) * record::kNameBytes + j];
    if (c != 0) name += static_cast<char>(c);
  }
  return name;
}

void RecordFiles::SetSlotName(int slot, const std::string& name) {
  PutName(slots, static_cast<size_t>(slot) * record::kNameBytes, name);
}

void RecordFiles::SetPlayerName(const std::string& name) {
  PutName(player, 0, name);
}

bool WriteRecordFiles(const std::string& dir, const RecordFiles& files) {
  std::error_code ec;
  std::filesystem::create_directories(dir + "/Maps", ec);
  bool ok = true;
  for (const FileOf& file : kFiles) {
    const std::vector<uint8_t>& bytes = files.*file.bytes;
    std::ofstream out(dir + "/Maps/" + file.name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ok = ok && static_cast<bool>(out);
  }
  return ok;
}

bool ReadRecordFiles(const std::string& dir, RecordFiles& files) {
  const RecordFiles sizes;
  for (const FileOf& file : kFiles) {
    std::ifstream in(dir + "/Maps/" + file.name, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.size() < (sizes.*file.bytes).size()) return false;
    files.*file.bytes = std::move(bytes);
  }
  return true;
}
