// What every scene draws, pinned: a whole qn-capture run keeps every 10th
// frame (several per row of the score, so every text, map pair and flash is
// seen), and each frame's pixels reduce to a 64-bit digest that must equal
// the recorded one in pictures.txt beside this file, one per line in frame
// order. After a deliberate change to the pictures, the failing run leaves
// what it got in pictures.txt in the build folder: look at the frames it
// names, then copy it over the recorded one.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch.h"

namespace fs = std::filesystem;

namespace {
constexpr int EVERY = 10;

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// FNV-1a over the decoded RGB bytes and the size; 0 when it cannot be read.
std::uint64_t picture_digest(const fs::path& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, png.c_str())) return 0;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return 0;
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::uint32_t v : {image.width, image.height})
    for (int k = 0; k < 4; k++) h = (h ^ ((v >> (8 * k)) & 0xFF)) * 0x100000001B3ull;
  for (unsigned char b : pixels) h = (h ^ b) * 0x100000001B3ull;
  return h;
}
}  // namespace

TEST(ShowPictures, EveryKeptFrameOfAWholeRunIsTheRecordedOne) {
  const fs::path data = env("QN_DATA_DIR");
  for (const char* f : {"zorv.dat", "objs.3dw", "music.xm"})
    if (!fs::exists(data / f)) GTEST_SKIP() << "no " << f << " in " << data;
  const ScratchDir out("qn-pictures-");
  const fs::path run = fs::path(out.path) / "run", err = fs::path(out.path) / "err";
  const std::string cmd = "cd '" + data.string() + "' && timeout -k 5 1800 " + env("QN_RUN") + "'" +
                          env("QN_BIN_DIR") + "/qn-capture' -o '" + run.string() +
                          "' --no-wav --png-every " + std::to_string(EVERY) + " >/dev/null 2>'" +
                          err.string() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << std::ifstream(err).rdbuf();

  std::vector<fs::path> frames;
  for (const auto& e : fs::directory_iterator(run))
    if (e.path().extension() == ".png") frames.push_back(e.path());
  std::sort(frames.begin(), frames.end());
  std::vector<std::string> want;
  std::ifstream recorded(env("QN_SOURCE_DIR") + "/tests/display/capture/pictures.txt");
  for (std::string line; std::getline(recorded, line);) want.push_back(line);

  std::string got, first_difference;
  int differences = 0;
  for (std::size_t i = 0; i < frames.size(); i++) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx",
                  static_cast<unsigned long long>(picture_digest(frames[i])));
    got += std::string(hex) + "\n";
    if (i < want.size() && want[i] == hex) continue;
    if (!differences++) first_difference = frames[i].filename().string();
  }
  EXPECT_EQ(frames.size(), want.size()) << "frames kept";
  if (differences || frames.size() != want.size()) {
    const fs::path mine = fs::path(env("QN_BIN_DIR")) / "pictures.txt";
    std::ofstream(mine) << got;
    ADD_FAILURE() << differences << " of " << frames.size() << " frames differ, the first "
                  << first_difference << "; this run's digests are in " << mine.string();
  }
}
