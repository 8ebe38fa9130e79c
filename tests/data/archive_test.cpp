// The archive reader against archives written byte by byte: lists in file
// order, and one exact message (and nothing returned) for every bad file.
#include "data/archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "archive_fixtures.h"
#include "scratch.h"

namespace {

// Each test reads "zorv.dat" in a directory of its own.
class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = scratch_base() + "/qn-archive-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }

  static void write(const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen("zorv.dat", "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) {
      ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
  }

  // Runs the reader; returns what it printed, and the result in `out`.
  static std::string read(TextureStructure** out) {
    testing::internal::CaptureStdout();
    *out = archive_read();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }

  // The reader must refuse the file with exactly this line.
  static void expect_refused(const std::vector<std::uint8_t>& bytes, const std::string& line) {
    write(bytes);
    TextureStructure* archive = nullptr;
    EXPECT_EQ(read(&archive), "Unpacking data...\n" + line);
    EXPECT_EQ(archive, nullptr);
    archive_free(archive);
  }

  std::filesystem::path dir_, old_;
};

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; i++) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A header, then hand-made entries.
std::vector<std::uint8_t> header(std::int32_t count) {
  std::vector<std::uint8_t> b = {'z', 'o', 'r', 'v'};
  put_u32(b, static_cast<std::uint32_t>(count));
  return b;
}
void entry(std::vector<std::uint8_t>& b, const char* tag, std::int32_t size, std::size_t payload) {
  b.insert(b.end(), tag, tag + 3);
  put_u32(b, static_cast<std::uint32_t>(size));
  b.insert(b.end(), payload, 0x5A);
}

// The full archive with one entry's size changed.
std::vector<ArchiveEntry> with_size(ArchiveEntry::Kind kind, int k, int bytes) {
  std::vector<ArchiveEntry> entries = fixture_entries();
  int seen = 0;
  for (ArchiveEntry& e : entries)
    if (e.kind == kind && seen++ == k) e.bytes.resize(static_cast<std::size_t>(bytes));
  return entries;
}

// The writer stores words little-endian, so matching words also proves the
// reader's byte order.
TEST_F(ArchiveTest, ReadsEveryEntryInFileOrderWithinItsList) {
  std::vector<ArchiveEntry> entries = fixture_entries();
  // Entries past the ones the demo uses are kept too, and bytes after the
  // last counted entry are ignored.
  entries.push_back(fixture_text(11, 8));
  entries.push_back(fixture_maps(18, 0));
  std::vector<std::uint8_t> bytes = archive_bytes(entries);
  bytes.insert(bytes.end(), {'t', 'g', 'a', 0xFF});
  write(bytes);

  TextureStructure* archive = nullptr;
  EXPECT_EQ(read(&archive), "Unpacking data...\n");
  ASSERT_NE(archive, nullptr);

  // Every word and byte, so a payload read or turned to host order only in
  // part shows.
  const std::vector<int> text = fixture_text_sizes(), maps = fixture_maps_sizes();
  for (int k = 0; k < static_cast<int>(text.size()); k++) {
    ASSERT_NE(archive->text[k], nullptr) << k;
    int wrong = 0;
    for (int i = 0; i < text[k] / 4; i++) wrong += archive->text[k][i] != fixture_text_word(k, i);
    EXPECT_EQ(wrong, 0) << "text " << k;
  }
  EXPECT_EQ(archive->text[11][1], fixture_text_word(11, 1));
  EXPECT_EQ(archive->text[12], nullptr);
  for (int k = 0; k < static_cast<int>(maps.size()); k++) {
    ASSERT_NE(archive->maps[k], nullptr) << k;
    int wrong = 0;
    for (int i = 0; i < maps[k]; i++) wrong += archive->maps[k][i] != fixture_maps_byte(k, i);
    EXPECT_EQ(wrong, 0) << "maps " << k;
  }
  EXPECT_NE(archive->maps[18], nullptr);  // an empty entry still has a block
  EXPECT_EQ(archive->maps[19], nullptr);
  archive_free(archive);
}

TEST_F(ArchiveTest, RefusesMissingOrUnreadableFile) {
  TextureStructure* archive = nullptr;
  EXPECT_EQ(read(&archive), "Unpacking data...\nUnable to open zorv.dat\n");
  EXPECT_EQ(archive, nullptr);
  ASSERT_EQ(mkdir("zorv.dat", 0755), 0);
  EXPECT_EQ(read(&archive), "Unpacking data...\nUnable to open zorv.dat\n");
  EXPECT_EQ(archive, nullptr);
}

TEST_F(ArchiveTest, RefusesWrongMagic) {
  const std::string msg = "zorv.dat: This is not a zorv data file format\n";
  std::vector<std::uint8_t> b = archive_bytes(fixture_entries());
  b[0] = 'Z';
  expect_refused(b, msg);
  expect_refused({'z', 'o', 'r'}, msg);
  expect_refused({}, msg);
}

TEST_F(ArchiveTest, RefusesUnknownTags) {
  for (const char* tag : {"RAW", "TGA", "rav", "tg\0"}) {
    std::vector<std::uint8_t> b = header(2);
    entry(b, "raw", 1, 1);
    entry(b, tag, 4, 4);
    expect_refused(b, "Corrupt header!\n");
  }
}

TEST_F(ArchiveTest, RefusesFilesCutShort) {
  expect_refused({'z', 'o', 'r', 'v', 1, 0}, "zorv.dat: the file ends before the entry count\n");

  std::vector<std::uint8_t> b = header(2);
  entry(b, "raw", 4, 4);
  b.insert(b.end(), {'t', 'g', 'a', 8, 0});
  expect_refused(b, "zorv.dat: the file ends inside the header of entry 1\n");

  // A count larger than the entries there are.
  b = archive_bytes(fixture_entries());
  b[4] = 30;
  expect_refused(b, "zorv.dat: the file ends inside the header of entry 29\n");

  // The last payload a few bytes short.
  b = archive_bytes(fixture_entries());
  for (int i = 0; i < 3; i++) b.pop_back();
  expect_refused(b,
                 "zorv.dat: entry 28 (\"raw\") is cut short: 76800 bytes of payload, "
                 "76797 left in the file\n");
}

TEST_F(ArchiveTest, RefusesSizesThatCannotBeRight) {
  // Refused before anything is allocated from them.
  std::vector<std::uint8_t> b = header(1);
  entry(b, "tga", 0x7FFFFFFC, 16);
  expect_refused(b,
                 "zorv.dat: entry 0 (\"tga\") is cut short: 2147483644 bytes of payload, "
                 "16 left in the file\n");

  b = header(1);
  entry(b, "raw", -4, 16);
  expect_refused(b, "zorv.dat: entry 0 (\"raw\") has a negative size, -4\n");

  b = header(1);
  entry(b, "tga", 6, 6);
  expect_refused(b, "zorv.dat: entry 0 (\"tga\") has 6 bytes, not a whole number of words\n");
}

TEST_F(ArchiveTest, RefusesArchivesMissingEntriesTheDemoReads) {
  const std::string too_few =
      "zorv.dat: the demo needs at least 11 \"tga\" and 18 \"raw\" entries, this file has ";
  expect_refused(header(0), too_few + "0 and 0\n");
  expect_refused(header(-5), too_few + "0 and 0\n");

  std::vector<ArchiveEntry> entries = fixture_entries();
  entries.pop_back();  // the last "raw"
  expect_refused(archive_bytes(entries), too_few + "11 and 17\n");
  entries = fixture_entries();
  entries.erase(entries.begin() + 20);  // text[10]
  expect_refused(archive_bytes(entries), too_few + "10 and 18\n");

  // A used index with the wrong shape: a texture where a picture belongs,
  // a mask where the height map belongs, and the other way round.
  expect_refused(archive_bytes(with_size(ArchiveEntry::tga, 7, 262144)),
                 "zorv.dat: text[7] has 262144 bytes, the demo needs 307200\n");
  expect_refused(archive_bytes(with_size(ArchiveEntry::tga, 9, 307200)),
                 "zorv.dat: text[9] has 307200 bytes, the demo needs 262144\n");
  expect_refused(archive_bytes(with_size(ArchiveEntry::raw, 4, 76800)),
                 "zorv.dat: maps[4] has 76800 bytes, the demo needs 65536\n");
  expect_refused(archive_bytes(with_size(ArchiveEntry::raw, 0, 65536)),
                 "zorv.dat: maps[0] has 65536 bytes, the demo needs 76800\n");
  expect_refused(archive_bytes(with_size(ArchiveEntry::raw, 17, 0)),
                 "zorv.dat: maps[17] has 0 bytes, the demo needs 76800\n");
}

}  // namespace
