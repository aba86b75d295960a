// The resource archive: lookups through the records, extraction into the private folder, the packer,
// and damaged or hostile archives that must fail cleanly.
#include "runtime/core/Archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/core/ArchiveReader.h"
#include "runtime/core/ArchiveWriter.h"
#include "runtime/core/RuntimeContext.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> out(size);
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<uint8_t>(seed >> 16);
  }
  return out;
}

void PutInt32(std::vector<uint8_t>& out, int64_t v) {
  for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> s));
}

void SetInt32(std::vector<uint8_t>& out, size_t at, int64_t v) {
  for (int s = 0; s < 32; s += 8) out[at + s / 8] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> s);
}

// An archive written byte by byte, for entries the packer would never write.
struct RawEntry {
  std::string name;
  int64_t offset = 0;
  int64_t size = 0;
};
std::vector<uint8_t> RawArchive(const std::vector<uint8_t>& data, const std::vector<RawEntry>& entries) {
  std::vector<uint8_t> out = data;
  const size_t directory = out.size();
  for (const RawEntry& e : entries) {
    out.push_back(static_cast<uint8_t>(e.name.size()));
    out.insert(out.end(), e.name.begin(), e.name.end());
    PutInt32(out, e.offset);
    PutInt32(out, e.size);
  }
  out.push_back(0);
  out.insert(out.end(), {'k', 'p', 'Q'});
  PutInt32(out, static_cast<int64_t>(directory));
  return out;
}

ArchiveLookup Find(const std::vector<uint8_t>& archive, const std::string& name) {
  ArchiveEntry entry;
  return FindArchiveEntry(archive, name, entry);
}

int FilesIn(const std::string& dir) {
  int n = 0;
  for (const auto& item : std::filesystem::directory_iterator(dir)) {
    (void)item;
    ++n;
  }
  return n;
}

// Every test runs with the temporary folder inside a folder of its own, so nothing is left in /tmp.
class ArchiveTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    hadTmpDir_ = old != nullptr;
    if (old) oldTmpDir_ = old;
    ::setenv("TMPDIR", root_.path().c_str(), 1);
    ResetRuntimeContext();
    priv_ = PrivateTempDir();
    ASSERT_EQ(priv_.rfind(root_.path() + "/", 0), 0u) << priv_;
    std::filesystem::create_directories(root_.File("Graphic"));
  }
  void TearDown() override {
    ReleaseArchives();
    if (hadTmpDir_) {
      ::setenv("TMPDIR", oldTmpDir_.c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    ResetRuntimeContext();
  }
  std::string WriteArchive(const std::vector<uint8_t>& bytes, const std::string& name = "Graphic.kpq") {
    WriteFile(root_.File(name), bytes);
    return root_.File(name);
  }
  std::string UsePacked(const std::vector<ArchiveInput>& entries, bool negative = false) {
    const std::string path = WriteArchive(PackArchive(entries, negative));
    SetArchive(path, "");
    return path;
  }
  // Relative paths are taken inside a folder that does not exist, so no loose file can answer.
  bool Lookup(const std::string& path, std::string& resolved) {
    const std::string full = path.starts_with("/") ? path : root_.File("nowhere/deeper/" + path);
    return ResolveMediaPath(Rt().archives[kMediaArchive], full, resolved);
  }
  ArchiveRecord& Media() { return Rt().archives[kMediaArchive]; }

  TempDir root_;
  std::string priv_;
  bool hadTmpDir_ = false;
  std::string oldTmpDir_;
};

TEST_F(ArchiveTest, LooseFileWinsOverTheArchive) {
  UsePacked({{"Tiles1.png", Bytes("packed")}});
  const std::string loose = root_.File("Graphic/Tiles1.png");
  WriteFile(loose, Bytes("loose"));
  EXPECT_EQ(ResolveMedia(loose), loose);
  EXPECT_TRUE(Media().extractedPath.empty());
  // A folder of that name is not a loose file.
  std::filesystem::create_directories(root_.File("Chars/Tiles1.png"));
  const std::string resolved = ResolveMedia(root_.File("Chars/Tiles1.png"));
  EXPECT_EQ(ReadFile(resolved), Bytes("packed"));
}

TEST_F(ArchiveTest, FifosAreNeitherLooseFilesNorArchivesAndNeverWait) {
  testing_support::HangGuard guard(30);
  UsePacked({{"Tiles1.png", Bytes("packed")}});
  // A FIFO under a media name is passed over for the archive at once.
  testing_support::MakeFifo(root_.File("Graphic/Tiles1.png"));
  const std::string resolved = ResolveMedia(root_.File("Graphic/Tiles1.png"));
  EXPECT_EQ(ReadFile(resolved), Bytes("packed"));
  // A FIFO in place of the archive: the archive cannot be used.
  testing_support::MakeFifo(root_.File("Fifo.kpq"));
  SetArchive(root_.File("Fifo.kpq"), "");
  std::string out;
  EXPECT_FALSE(Lookup("Tiles1.png", out));
  EXPECT_FALSE(Media().usable);
  // The devices that never end or never answer are not files either.
  SetArchive("/dev/zero", "");
  EXPECT_FALSE(Lookup("Tiles1.png", out));
  EXPECT_FALSE(Media().usable);
}

TEST_F(ArchiveTest, MediaComeUnpackedInMemoryFromAnArchiveReadOnce) {
  const std::vector<uint8_t> picture = Pattern(5000, 3);
  const std::string archive = UsePacked({{"Tiles1.png", picture}, {"Boom.wav", Bytes("wave")}});
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadMedia(root_.File("nowhere/Graphic/TILES1.png"), bytes));
  EXPECT_EQ(bytes, picture);
  // Nothing went through a file of its own.
  EXPECT_TRUE(Media().extractedPath.empty());
  EXPECT_EQ(FilesIn(priv_), 0);
  // The archive file was read at the first lookup: a new file in its place is seen after SetArchive only.
  WriteArchive(PackArchive({{"Tiles1.png", Bytes("new")}}, false));
  ASSERT_TRUE(ReadMedia(root_.File("nowhere/Boom.wav"), bytes));
  EXPECT_EQ(bytes, Bytes("wave"));
  SetArchive(archive, "");
  ASSERT_TRUE(ReadMedia(root_.File("nowhere/Tiles1.png"), bytes));
  EXPECT_EQ(bytes, Bytes("new"));
  EXPECT_FALSE(ReadMedia(root_.File("nowhere/Boom.wav"), bytes));
  EXPECT_TRUE(bytes.empty());
  // Loose files win; an empty path and a missing file give nothing.
  WriteFile(root_.File("Graphic/Tiles1.png"), Bytes("loose"));
  ASSERT_TRUE(ReadMedia(root_.File("Graphic/Tiles1.png"), bytes));
  EXPECT_EQ(bytes, Bytes("loose"));
  EXPECT_FALSE(ReadMedia("", bytes));
  EXPECT_TRUE(Media().usable);
  // An archive that cannot be read is given up until the next SetArchive.
  std::filesystem::remove(archive);
  SetArchive(archive, "");
  EXPECT_FALSE(ReadMedia(root_.File("nowhere/Tiles1.png"), bytes));
  EXPECT_FALSE(Media().usable);
}

TEST_F(ArchiveTest, EntryFoundInAnyLetterCaseAndExtractedPrivately) {
  const std::vector<uint8_t> picture = Pattern(5000, 3);
  UsePacked({{"Other.bmp", Bytes("x")}, {"Tiles1.png", picture}});
  for (const std::string path :
       {"Graphic/TILES1.PNG", "Graphic/tiles1.png", "Chars\\Tiles1.Png", "tiles1.PNG"}) {
    std::string resolved;
    ASSERT_TRUE(Lookup(root_.File(path), resolved)) << path;
    EXPECT_EQ(std::filesystem::path(resolved).parent_path(), std::filesystem::path(priv_).parent_path());
    EXPECT_EQ(resolved.substr(resolved.size() - 10), "Tiles1.png");  // the stored name keeps its extension
    EXPECT_EQ(ReadFile(resolved), picture);
    struct stat st {};
    ASSERT_EQ(::lstat(resolved.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
  }
  std::string resolved = "stale";
  EXPECT_FALSE(Lookup(root_.File("Graphic/Missing.png"), resolved));
  EXPECT_EQ(resolved, "");
  EXPECT_TRUE(Media().usable);  // a missing entry leaves the archive in use
  EXPECT_EQ(ResolveMedia(""), "");
}

TEST_F(ArchiveTest, UnusableArchiveIsSkippedUntilSetArchive) {
  std::vector<uint8_t> good = PackArchive({{"a.png", Bytes("A")}}, false);
  std::vector<uint8_t> bad = good;
  bad[bad.size() - 7] = 'K';
  const std::string path = WriteArchive(bad);
  SetArchive(path, "");
  std::string resolved;
  EXPECT_FALSE(Lookup("a.png", resolved));
  EXPECT_FALSE(Media().usable);
  WriteArchive(good);
  EXPECT_FALSE(Lookup("a.png", resolved));  // not consulted again
  SetArchive(path, "");
  ASSERT_TRUE(Lookup("a.png", resolved));
  EXPECT_EQ(ReadFile(resolved), Bytes("A"));

  // A missing archive, an empty name and a folder (the program's folder at start-up) all disable it.
  for (const std::string& archive : {root_.File("none.kpq"), std::string(), root_.path()}) {
    SetArchive(archive, "");
    EXPECT_FALSE(Lookup("a.png", resolved)) << archive;
    EXPECT_FALSE(Media().usable) << archive;
  }
}

TEST_F(ArchiveTest, NegativeDirectoryOffsetCountsFromTheEnd) {
  // One entry with an 83-byte name: directory, terminator and trailer make exactly the last 100 bytes.
  const std::string name = std::string(79, 'n') + ".wav";
  const std::vector<uint8_t> sound = Pattern(3000, 9);
  const std::vector<uint8_t> bytes = PackArchive({{name, sound}}, true);
  const size_t end = bytes.size();
  const int32_t directory = static_cast<int32_t>(bytes[end - 4] | bytes[end - 3] << 8 | bytes[end - 2] << 16 |
                                                 static_cast<uint32_t>(bytes[end - 1]) << 24);
  EXPECT_EQ(directory, -100);
  const int32_t offset =
      static_cast<int32_t>(bytes[end - 100 + 84] | bytes[end - 100 + 85] << 8 | bytes[end - 100 + 86] << 16 |
                           static_cast<uint32_t>(bytes[end - 100 + 87]) << 24);
  EXPECT_EQ(offset, -static_cast<int32_t>(end));  // the data starts the file
  SetArchive(WriteArchive(bytes), "");
  std::string resolved;
  ASSERT_TRUE(Lookup("Chars/" + name, resolved));
  EXPECT_EQ(ReadFile(resolved), sound);
}

TEST_F(ArchiveTest, PackerRoundTripsBothOffsetFormsDeterministically) {
  const std::vector<ArchiveInput> entries = {
      {"empty.bmp", {}}, {"noise.png", Pattern(70000, 5)}, {"flat.png", std::vector<uint8_t>(200000, 7)}};
  for (bool negative : {false, true}) {
    const std::vector<uint8_t> bytes = PackArchive(entries, negative);
    EXPECT_EQ(bytes, PackArchive(entries, negative));
    for (const ArchiveInput& in : entries) {
      ArchiveEntry out;
      ASSERT_EQ(FindArchiveEntry(bytes, in.name, out), ArchiveLookup::kFound) << in.name;
      EXPECT_EQ(out.data, in.data);
    }
  }
  EXPECT_LT(PackArchive({entries[2]}, false).size(), 10000u);  // really compressed
}

TEST_F(ArchiveTest, PackerRefusesNamesTheArchiveCannotHold) {
  EXPECT_THROW(PackArchive({{"Tiles.png", Bytes("a")}, {"TILES.PNG", Bytes("b")}}, false),
               std::invalid_argument);
  EXPECT_THROW(PackArchive({{std::string(256, 'a'), Bytes("a")}}, false), std::invalid_argument);
  EXPECT_THROW(PackArchive({{"", Bytes("a")}}, false), std::invalid_argument);
  EXPECT_THROW(PackArchive({{"..", Bytes("a")}}, false), std::invalid_argument);
  const std::string longest(255, 'a');
  ArchiveEntry out;
  EXPECT_EQ(FindArchiveEntry(PackArchive({{longest, Bytes("a")}}, false), longest, out),
            ArchiveLookup::kFound);
}

TEST_F(ArchiveTest, ExtractedFileLivesUntilTheNextLookupOrRelease) {
  UsePacked({{"one.png", Bytes("1")}, {"two.png", Bytes("2")}});
  std::string first;
  std::string second;
  ASSERT_TRUE(Lookup("one.png", first));
  ASSERT_TRUE(FileExists(first));
  ASSERT_TRUE(Lookup("two.png", second));
  EXPECT_FALSE(FileExists(first));
  EXPECT_TRUE(FileExists(second));
  EXPECT_EQ(FilesIn(priv_), 1);
  // A failed lookup still clears the previous file; so do SetArchive and the release at shutdown.
  EXPECT_FALSE(Lookup("three.png", first));
  EXPECT_FALSE(FileExists(second));
  ASSERT_TRUE(Lookup("one.png", first));
  SetArchive(Media().archivePath, "");
  EXPECT_FALSE(FileExists(first));
  ASSERT_TRUE(Lookup("one.png", first));
  ReleaseArchives();
  EXPECT_FALSE(FileExists(first));
  EXPECT_EQ(FilesIn(priv_), 0);
}

TEST_F(ArchiveTest, PrePlacedLinkAtTheTemporaryNameIsNotFollowed) {
  UsePacked({{"Tiles1.png", Bytes("picture")}});
  std::string resolved;
  ASSERT_TRUE(Lookup("Tiles1.png", resolved));
  ReleaseArchives();
  const std::string victim = root_.File("victim.txt");
  WriteFile(victim, Bytes("keep me"));
  ASSERT_EQ(::symlink(victim.c_str(), resolved.c_str()), 0);
  std::string again;
  ASSERT_TRUE(Lookup("Tiles1.png", again));
  EXPECT_EQ(again, resolved);
  struct stat st {};
  ASSERT_EQ(::lstat(again.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFile(again), Bytes("picture"));
  EXPECT_EQ(ReadFile(victim), Bytes("keep me"));
}

TEST_F(ArchiveTest, NothingIsExtractedIntoAFolderOthersCanWrite) {
  UsePacked({{"Tiles1.png", Bytes("picture")}});
  const std::string shared = root_.File("shared");
  std::filesystem::create_directories(shared);
  ::chmod(shared.c_str(), 0777);
  Rt().privateTempDir = shared + "/";
  std::string resolved;
  EXPECT_FALSE(Lookup("Tiles1.png", resolved));
  EXPECT_EQ(FilesIn(shared), 0);
}

TEST_F(ArchiveTest, UnsafeEntryNamesAreRefused) {
  const std::vector<uint8_t> stored = CompressEntry(Bytes("evil"));
  const int64_t size = static_cast<int64_t>(stored.size());
  for (const std::string name : {"..", ".", "a..png", "../../x", "..\\x"}) {
    SetArchive(WriteArchive(RawArchive(stored, {{name, 0, size}})), "");
    std::string resolved;
    EXPECT_FALSE(Lookup("Graphic/" + name, resolved)) << name;
    EXPECT_FALSE(Lookup(name, resolved)) << name;
    EXPECT_TRUE(resolved.empty());
    EXPECT_EQ(FilesIn(priv_), 0) << name;
  }
  EXPECT_EQ(Find(RawArchive(stored, {{"..", 0, size}}), ".."), ArchiveLookup::kBadEntry);
  EXPECT_EQ(Find(RawArchive(stored, {{std::string("a\0b", 3), 0, size}}), std::string("a\0b", 3)),
            ArchiveLookup::kBadEntry);
  // Only the archive and the Graphic folder are beside the private folder: nothing escaped it.
  EXPECT_EQ(FilesIn(root_.path()), 3);
}

TEST_F(ArchiveTest, DamagedEntriesFailCleanly) {
  const std::vector<uint8_t> picture = Pattern(1000, 1);
  const std::vector<uint8_t> stored = CompressEntry(picture);
  const int64_t size = static_cast<int64_t>(stored.size());
  const auto withU = [&](int64_t u) {
    std::vector<uint8_t> s = stored;
    SetInt32(s, 0, u);
    return s;
  };
  ASSERT_EQ(Find(RawArchive(stored, {{"p.png", 0, size}}), "p.png"), ArchiveLookup::kFound);
  struct Case {
    const char* what;
    std::vector<uint8_t> archive;
  };
  std::vector<uint8_t> truncatedStream(stored.begin(), stored.end() - 40);
  const Case cases[] = {
      {"offset past the end", RawArchive(stored, {{"p.png", 1 << 20, size}})},
      {"negative offset", RawArchive(stored, {{"p.png", -1, size}})},
      {"size past the end", RawArchive(stored, {{"p.png", 0, 0x7fffffff}})},
      {"size too small", RawArchive(stored, {{"p.png", 0, 3}})},
      {"negative size", RawArchive(stored, {{"p.png", 0, -8}})},
      {"decompressed size above the cap", RawArchive(withU(0xffffffff), {{"p.png", 0, size}})},
      {"stream overruns the decompressed size", RawArchive(withU(10), {{"p.png", 0, size}})},
      {"stream shorter than the decompressed size", RawArchive(withU(2000), {{"p.png", 0, size}})},
      {"stream cut short", RawArchive(truncatedStream, {{"p.png", 0, size - 40}})},
      {"stream of garbage", RawArchive(Pattern(600, 4), {{"p.png", 0, 600}})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c.archive, "p.png"), ArchiveLookup::kBadEntry) << c.what;
    SetArchive(WriteArchive(c.archive), "");
    std::string resolved;
    EXPECT_FALSE(Lookup("p.png", resolved)) << c.what;
    EXPECT_TRUE(Media().usable) << c.what;
    EXPECT_EQ(FilesIn(priv_), 0) << c.what;
  }
  // A stored size far beyond what LZO could produce for U is refused before it is read.
  std::vector<uint8_t> padded = withU(4);
  padded.resize(100000, 0);
  EXPECT_EQ(Find(RawArchive(padded, {{"p.png", 0, 100000}}), "p.png"), ArchiveLookup::kBadEntry);
}

// A stored entry: the claimed decompressed size U, then `stream` as its LZO1X data.
std::vector<uint8_t> StoredEntry(uint32_t unpacked, const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> stored;
  PutInt32(stored, unpacked);
  stored.insert(stored.end(), stream.begin(), stream.end());
  return stored;
}

TEST_F(ArchiveTest, ClaimedSizesTheStreamCannotProduceCostNoMoreThanTheStream) {
  // 25 bytes claiming 64 MiB (the cap): no stream of 21 bytes decodes to more than 255 times its size.
  const std::vector<uint8_t> crafted = StoredEntry(kMaxArchiveEntryBytes, Pattern(21, 7));
  std::vector<uint8_t> out;
  EXPECT_FALSE(DecompressStoredEntry(crafted, out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(UnpackedSizePossible(255 * 21 + 1, 21));
  EXPECT_TRUE(UnpackedSizePossible(255 * 21, 21));
  EXPECT_LT(testing_support::PeakMemoryGrowthKiB([&] {
              std::vector<uint8_t> unused;
              (void)DecompressStoredEntry(crafted, unused);
            }),
            8 * 1024);

  // 125 such entries, each looked up as a start-up would: together they cost next to nothing.
  std::vector<uint8_t> data;
  std::vector<RawEntry> entries;
  for (int i = 0; i < 125; ++i) {
    entries.push_back({"e" + std::to_string(i) + ".png", static_cast<int64_t>(data.size()), 25});
    data.insert(data.end(), crafted.begin(), crafted.end());
  }
  const std::vector<uint8_t> archive = RawArchive(data, entries);
  EXPECT_EQ(Find(archive, "e0.png"), ArchiveLookup::kBadEntry);
  EXPECT_LT(testing_support::PeakMemoryGrowthKiB([&] {
              for (const RawEntry& e : entries) (void)Find(archive, e.name);
            }),
            8 * 1024);

  // A claim the stream could just hold, over a damaged stream: the buffer grows only with real output.
  const std::vector<uint8_t> garbage = StoredEntry(255 * 100000, Pattern(100000, 9));
  EXPECT_LT(testing_support::PeakMemoryGrowthKiB([&] {
              std::vector<uint8_t> unused;
              EXPECT_FALSE(DecompressStoredEntry(garbage, unused));
            }),
            8 * 1024);
}

TEST_F(ArchiveTest, TheMostCompressibleFilesStillUnpack) {
  // Zeros are what LZO1X compresses best (about 225 to 1); they are well inside the 255 to 1 bound, and
  // need the output buffer to grow several times from its first guess.
  for (size_t size : {size_t{0}, size_t{1}, size_t{70000}, size_t{4} << 20}) {
    const std::vector<uint8_t> zeros(size, 0);
    const std::vector<uint8_t> stored = CompressEntry(zeros);
    std::vector<uint8_t> out;
    ASSERT_TRUE(DecompressStoredEntry(stored, out)) << size;
    EXPECT_EQ(out, zeros);
    EXPECT_EQ(Find(RawArchive(stored, {{"z.bmp", 0, static_cast<int64_t>(stored.size())}}), "z.bmp"),
              ArchiveLookup::kFound);
  }
}

TEST_F(ArchiveTest, DamagedDirectoriesAndTrailersFailCleanly) {
  const std::vector<uint8_t> good = PackArchive({{"p.png", Pattern(300, 2)}}, false);
  std::vector<uint8_t> far = good;
  SetInt32(far, far.size() - 4, 1 << 30);
  std::vector<uint8_t> before = good;
  SetInt32(before, before.size() - 4, -(1 << 30));
  EXPECT_EQ(Find(far, "p.png"), ArchiveLookup::kBadTrailer);
  EXPECT_EQ(Find(before, "p.png"), ArchiveLookup::kBadTrailer);
  EXPECT_EQ(Find(Bytes("kpQ"), "p.png"), ArchiveLookup::kBadTrailer);
  EXPECT_EQ(Find({}, "p.png"), ArchiveLookup::kBadTrailer);
  SetArchive(WriteArchive(far), "");
  std::string resolved;
  EXPECT_FALSE(Lookup("p.png", resolved));
  EXPECT_FALSE(Media().usable);

  // A name length that runs past the end of the file: the directory is the last thing before the trailer.
  std::vector<uint8_t> longName = {200, 'p', '.', 'p', 'n', 'g', 'k', 'p', 'Q'};
  PutInt32(longName, 0);
  EXPECT_EQ(Find(longName, "p.png"), ArchiveLookup::kBadEntry);
  // A directory without its terminator ends at the end of the file.
  std::vector<uint8_t> open = {'k', 'p', 'Q'};
  PutInt32(open, 7);
  EXPECT_EQ(Find(open, "p.png"), ArchiveLookup::kNotFound);
}

TEST_F(ArchiveTest, MangledArchivesNeverCrash) {
  const std::vector<uint8_t> good =
      PackArchive({{"a.png", Pattern(2000, 6)}, {"b.wav", std::vector<uint8_t>(3000, 1)}}, false);
  const std::vector<uint8_t> goodNeg = PackArchive({{"a.png", Pattern(2000, 6)}}, true);
  uint32_t seed = 77;
  int found = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = (round & 1) ? goodNeg : good;
    for (int k = 0; k < 1 + round % 4; ++k) {
      seed = seed * 1664525u + 1013904223u;
      bytes[(seed >> 8) % bytes.size()] = static_cast<uint8_t>(seed >> 24);
    }
    ArchiveEntry entry;
    for (const char* name : {"a.png", "b.wav"}) {
      if (FindArchiveEntry(bytes, name, entry) == ArchiveLookup::kFound) {
        ++found;
        EXPECT_LE(entry.data.size(), kMaxArchiveEntryBytes);
      }
    }
  }
  for (size_t cut = 0; cut < good.size(); cut += 7) {
    const std::vector<uint8_t> head(good.begin(), good.begin() + static_cast<ptrdiff_t>(cut));
    EXPECT_NE(Find(head, "a.png"), ArchiveLookup::kFound);
  }
  EXPECT_GT(found, 0);  // most single-byte changes in the data still leave a decodable entry
}

TEST_F(ArchiveTest, PackToolWritesTheSameArchive) {
  const std::string tool = std::string(BRILLORA_BINARY_DIR) + "/tools/kpqpack";
  if (!FileExists(tool)) GTEST_SKIP() << "kpqpack not built";
  WriteFile(root_.File("Graphic/Tiles1.png"), Pattern(4000, 8));
  WriteFile(root_.File("boom.wav"), Bytes("RIFF"));
  const std::string out = root_.File("out.kpq");
  const std::string quiet = " >/dev/null 2>&1";
  const std::string files = " " + root_.File("Graphic/Tiles1.png") + " " + root_.File("boom.wav");
  ASSERT_EQ(std::system((tool + " " + out + files + quiet).c_str()), 0);
  EXPECT_EQ(ReadFile(out),
            PackArchive({{"Tiles1.png", Pattern(4000, 8)}, {"boom.wav", Bytes("RIFF")}}, false));
  ASSERT_EQ(std::system((tool + " --negative " + out + files + quiet).c_str()), 0);
  EXPECT_EQ(ReadFile(out),
            PackArchive({{"Tiles1.png", Pattern(4000, 8)}, {"boom.wav", Bytes("RIFF")}}, true));
  WriteFile(root_.File("TILES1.PNG"), Bytes("dup"));
  EXPECT_NE(
      std::system(
          (tool + " " + root_.File("dup.kpq") + files + " " + root_.File("TILES1.PNG") + quiet).c_str()),
      0);
  EXPECT_NE(std::system((tool + " " + out + quiet).c_str()), 0);
}

}  // namespace
