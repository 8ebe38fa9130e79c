// The built archive and its builder: every entry present, in order and of
// the right shape, the same bytes on every run, and clean failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "art.h"
#include "font.h"

namespace {
std::vector<std::uint8_t> file_bytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

int run(const std::string& command) {
  const char* emulator = std::getenv("QN_RUN");
  const int status = std::system(("timeout -k 5 900 " + std::string(emulator ? emulator : "") + command).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string temp_dir() {
  char dir[] = "/tmp/qn_art_archiveXXXXXX";
  return mkdtemp(dir) ? dir : "/tmp";
}

struct Entry {
  std::string tag;
  std::size_t at, size;
};
}  // namespace

TEST(Archive, BuiltFileHoldsEveryEntryInOrderAndShape) {
  const char* data = std::getenv("QN_DATA_DIR");
  ASSERT_NE(data, nullptr);
  const std::vector<std::uint8_t> b = file_bytes(std::string(data) + "/zorv.dat");
  ASSERT_GE(b.size(), 8u);
  ASSERT_EQ(std::string(b.begin(), b.begin() + 4), "zorv");
  const std::uint32_t count = u32(b, 4);
  std::vector<Entry> entries;
  std::size_t at = 8;
  for (std::uint32_t i = 0; i < count; i++) {
    ASSERT_LE(at + 7, b.size());
    const std::size_t size = u32(b, at + 3);
    ASSERT_LE(at + 7 + size, b.size());
    entries.push_back({std::string(b.begin() + long(at), b.begin() + long(at) + 3), at + 7, size});
    at += 7 + size;
  }
  EXPECT_EQ(at, b.size());
  std::vector<Entry> text, maps;
  for (const Entry& e : entries) (e.tag == "tga" ? text : maps).push_back(e);
  ASSERT_EQ(text.size() + maps.size(), entries.size()) << "unknown tag";
  ASSERT_EQ(text.size(), std::size_t(ART_TEXT_COUNT));
  ASSERT_EQ(maps.size(), std::size_t(ART_MAP_COUNT));
  for (int i : {0, 1, 2, 3, 4, 9}) EXPECT_EQ(text[std::size_t(i)].size, 65536u * 4) << "text " << i;
  for (int i : {7, 8, 10}) EXPECT_EQ(text[std::size_t(i)].size, 76800u * 4) << "text " << i;
  for (int i : {5, 6}) {
    EXPECT_GT(text[std::size_t(i)].size, 0u);
    EXPECT_EQ(text[std::size_t(i)].size % 4, 0u);
  }
  for (int i = 0; i < ART_MAP_COUNT; i++)
    EXPECT_EQ(maps[std::size_t(i)].size, i == 4 ? 65536u : 76800u) << "maps " << i;

  // The payloads are the generators' pictures, words little-endian.
  ASSERT_TRUE(font_open(QN_ART_FONT));
  const Picture relief = art_text(8);
  for (std::size_t k = 0; k < relief.pixels.size(); k++)
    ASSERT_EQ(u32(b, text[8].at + 4 * k), relief.pixels[k]) << "text 8 word " << k;
  const Mask loading = art_map(0);
  EXPECT_TRUE(std::equal(loading.pixels.begin(), loading.pixels.end(), b.begin() + long(maps[0].at)));
  font_close();
}

TEST(Archive, BuilderWritesTheSameBytesEveryRun) {
  const std::string dir = temp_dir();
  ASSERT_EQ(run(std::string(QN_MKZORV) + " " + dir + "/a.dat " + QN_ART_FONT), 0);
  ASSERT_EQ(run(std::string(QN_MKZORV) + " " + dir + "/b.dat " + QN_ART_FONT), 0);
  const std::vector<std::uint8_t> a = file_bytes(dir + "/a.dat");
  EXPECT_GT(a.size(), 3000000u);
  EXPECT_TRUE(a == file_bytes(dir + "/b.dat"));
  std::remove((dir + "/a.dat").c_str());
  std::remove((dir + "/b.dat").c_str());
  rmdir(dir.c_str());
}

TEST(Archive, BuilderFailsCleanlyOnBadInput) {
  const std::string dir = temp_dir();
  const std::string out = dir + "/z.dat", err = dir + "/err.txt";
  // A font that is not a font: one message, status 1, no archive left behind.
  std::ofstream(dir + "/junk.ttf") << "not a font";
  EXPECT_EQ(run(std::string(QN_MKZORV) + " " + out + " " + dir + "/junk.ttf 2>" + err), 1);
  EXPECT_NE(file_bytes(err).size(), 0u);
  EXPECT_NE(access(out.c_str(), F_OK), 0);
  EXPECT_EQ(run(std::string(QN_MKZORV) + " " + out + " " + dir + "/missing.ttf 2>" + err), 1);
  // An output that cannot be written.
  EXPECT_EQ(run(std::string(QN_MKZORV) + " " + dir + "/no/such/dir/z.dat " + QN_ART_FONT + " 2>" + err), 1);
  const std::vector<std::uint8_t> message = file_bytes(err);
  EXPECT_NE(std::string(message.begin(), message.end()).find("cannot write"), std::string::npos);
  EXPECT_EQ(run(std::string(QN_MKZORV) + " 2>" + err), 2);
  for (const char* f : {"/junk.ttf", "/err.txt"}) std::remove((dir + f).c_str());
  rmdir(dir.c_str());
}
