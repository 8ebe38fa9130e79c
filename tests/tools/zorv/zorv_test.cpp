// The archive tools: the built archive holds every entry, in order and of the
// right shape, the same bytes on every run; zorvdump shows each entry as a
// picture of its shape; both fail cleanly.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "art.h"
#include "font.h"
#include "scratch.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes file_bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

int run(const std::string& command) {
  const char* emulator = std::getenv("QN_RUN");
  const std::string prefix = "timeout -k 5 900 " + std::string(emulator ? emulator : "");
  const int status = std::system((prefix + command).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct TempDir : ScratchDir {
  TempDir() : ScratchDir("qn_zorv_") {}
};

// A netpbm header and its pixels: words as red, green, blue; bytes as grey.
Bytes netpbm(int w, int h, const std::vector<std::uint32_t>& words) {
  const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  Bytes b(head.begin(), head.end());
  for (std::uint32_t v : words)
    for (int shift : {16, 8, 0}) b.push_back(static_cast<std::uint8_t>(v >> shift));
  return b;
}
Bytes netpbm(int w, int h, const Bytes& grey) {
  const std::string head = "P5\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  Bytes b(head.begin(), head.end());
  b.insert(b.end(), grey.begin(), grey.end());
  return b;
}

struct Entry {
  std::string tag;
  std::size_t at, size;
};
}  // namespace

TEST(Zorv, BuiltArchiveHoldsEveryEntryInOrderAndShapeAndDumpsAsPictures) {
  const char* data = std::getenv("QN_DATA_DIR");
  ASSERT_NE(data, nullptr);
  const std::string archive = std::string(data) + "/zorv.dat";
  const Bytes b = file_bytes(archive);
  ASSERT_GE(b.size(), 8u);
  ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "zorv");
  const std::uint32_t count = u32(b, 4);
  std::vector<Entry> entries;
  std::size_t at = 8;
  for (std::uint32_t i = 0; i < count; i++) {
    ASSERT_LE(at + 7, b.size());
    const std::size_t size = u32(b, at + 3);
    ASSERT_LE(at + 7 + size, b.size());
    const auto tag = b.begin() + static_cast<long>(at);
    entries.push_back({std::string(tag, tag + 3), at + 7, size});
    at += 7 + size;
  }
  EXPECT_EQ(at, b.size());
  std::vector<Entry> text, maps;
  for (const Entry& e : entries) (e.tag == "tga" ? text : maps).push_back(e);
  ASSERT_EQ(text.size() + maps.size(), entries.size()) << "unknown tag";
  ASSERT_EQ(text.size(), static_cast<std::size_t>(ART_TEXT_COUNT));
  ASSERT_EQ(maps.size(), static_cast<std::size_t>(ART_MAP_COUNT));
  for (int i : {0, 1, 2, 3, 4, 9}) EXPECT_EQ(text[i].size, 65536u * 4) << "text " << i;
  for (int i : {7, 8, 10}) EXPECT_EQ(text[i].size, 76800u * 4) << "text " << i;
  for (int i : {5, 6}) {
    EXPECT_GT(text[i].size, 0u);
    EXPECT_EQ(text[i].size % 4, 0u);
  }
  for (int i = 0; i < ART_MAP_COUNT; i++)
    EXPECT_EQ(maps[i].size, i == 4 ? 65536u : 76800u) << "maps " << i;

  // The payloads are the generators' pictures, words little-endian.
  ASSERT_TRUE(font_open(QN_ART_FONT));
  const Picture relief = art_text(8);
  for (std::size_t k = 0; k < relief.pixels.size(); k++)
    ASSERT_EQ(u32(b, text[8].at + 4 * k), relief.pixels[k]) << "text 8 word " << k;
  const Mask loading = art_map(0);
  const auto payload = b.begin() + static_cast<long>(maps[0].at);
  EXPECT_TRUE(std::equal(loading.pixels.begin(), loading.pixels.end(), payload));
  font_close();

  // zorvdump: one picture an entry, named by list and index.
  const TempDir dump;
  ASSERT_EQ(run(std::string(QN_ZORVDUMP) + " " + archive + " " + dump.path), 0);
  EXPECT_TRUE(file_bytes(dump.path + "/text_08.ppm") == netpbm(320, 240, relief.pixels));
  EXPECT_TRUE(file_bytes(dump.path + "/maps_00.pgm") == netpbm(320, 240, loading.pixels));
  const auto height = b.begin() + static_cast<long>(maps[4].at);
  EXPECT_TRUE(file_bytes(dump.path + "/maps_04.pgm") ==
              netpbm(256, 256, Bytes(height, height + 65536)));
  EXPECT_EQ(file_bytes(dump.path + "/text_09.ppm").size(), 15 + 65536 * 3u);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(dump.path)) files++;
  EXPECT_EQ(files, entries.size());
}

TEST(Zorv, BuilderWritesTheSameBytesEveryRun) {
  const TempDir dir;
  ASSERT_EQ(run(std::string(QN_MKZORV) + " " + dir.path + "/a.dat " + QN_ART_FONT), 0);
  ASSERT_EQ(run(std::string(QN_MKZORV) + " " + dir.path + "/b.dat " + QN_ART_FONT), 0);
  const Bytes a = file_bytes(dir.path + "/a.dat");
  EXPECT_GT(a.size(), 3000000u);
  EXPECT_TRUE(a == file_bytes(dir.path + "/b.dat"));
}

TEST(Zorv, ToolsFailCleanlyOnBadInput) {
  const TempDir dir;
  const std::string out = dir.path + "/z.dat", err = dir.path + "/err.txt";
  auto message = [&err]() {
    const Bytes b = file_bytes(err);
    return std::string(b.begin(), b.end());
  };
  // A font that is not a font: one message, status 1, no archive left behind.
  std::ofstream(dir.path + "/junk.ttf") << "not a font";
  EXPECT_EQ(run(std::string(QN_MKZORV) + " " + out + " " + dir.path + "/junk.ttf 2>" + err), 1);
  EXPECT_NE(message(), "");
  EXPECT_NE(access(out.c_str(), F_OK), 0);
  EXPECT_EQ(run(std::string(QN_MKZORV) + " " + out + " " + dir.path + "/missing.ttf 2>" + err), 1);
  // An output that cannot be written.
  const std::string nowhere = dir.path + "/no/such/dir/z.dat ";
  EXPECT_EQ(run(std::string(QN_MKZORV) + " " + nowhere + QN_ART_FONT + " 2>" + err), 1);
  EXPECT_NE(message().find("cannot write"), std::string::npos);
  EXPECT_EQ(run(std::string(QN_MKZORV) + " 2>" + err), 2);

  // zorvdump names the damage of an archive cut short in its first entry.
  std::ofstream(dir.path + "/cut.dat") << std::string("zorv\1\0\0\0tga\4\0\0\0\1\2", 17);
  const std::string dump = std::string(QN_ZORVDUMP) + " " + dir.path;
  EXPECT_EQ(run(dump + "/cut.dat " + dir.path + " 2>" + err), 1);
  EXPECT_EQ(message(), "zorvdump: " + dir.path + "/cut.dat: entry 0 (\"tga\") is cut short: " +
                           "4 bytes of payload, 2 left in the file\n");
  EXPECT_EQ(run(dump + "/missing.dat " + dir.path + " 2>" + err), 1);
  EXPECT_EQ(message(), "zorvdump: " + dir.path + "/missing.dat: cannot be opened\n");
}
