// The capture driver: every update mixes exactly 10 ms (441 stereo 16-bit
// frames at 44.1 kHz) into a WAV file, so two updates per 20 ms frame keep
// song and pictures in step in virtual time. The library's own file drivers
// mix a whole buffer per update and would run the song many times too fast.
#include <bit>
#include <cstdio>
#include <cstring>
#include <utility>

#include "music/music.h"
#include "music/music_internal.h"
#include "music/virtch.h"

namespace {
constexpr unsigned FRAMES_PER_STEP = 441;
constexpr unsigned BYTES_PER_FRAME = 4;  // 16-bit stereo
constexpr unsigned HEADER_BYTES = 44;

std::FILE* wav_file = nullptr;
int driver_ordinal = 0;
bool registered = false;
bool write_failed = false;
bool keeping = true;
std::uint32_t data_bytes = 0;
std::uint32_t wav_rate = 44100;

void put16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v) {
  put16(p, v & 0xFFFFu);
  put16(p + 2, v >> 16);
}

// The RIFF header for `bytes` of sound; written first with 0, again at exit.
bool write_header(std::uint32_t bytes) {
  unsigned char h[HEADER_BYTES];
  std::memcpy(h, "RIFF", 4);
  put32(h + 4, 36u + bytes);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(h + 16, 16);
  put16(h + 20, 1);  // PCM
  put16(h + 22, 2);
  put32(h + 24, wav_rate);
  put32(h + 28, wav_rate * BYTES_PER_FRAME);
  put16(h + 32, BYTES_PER_FRAME);
  put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, bytes);
  return std::fseek(wav_file, 0, SEEK_SET) == 0 &&
         std::fwrite(h, 1, HEADER_BYTES, wav_file) == HEADER_BYTES;
}

void note_failure() {
  if (!write_failed) std::fprintf(stderr, "Unable to write the sound file\n");
  write_failed = true;
}

BOOL capture_is_present() { return wav_file != nullptr; }

int capture_init() {
  md_mode |= DMODE_SOFT_MUSIC | DMODE_SOFT_SNDFX;
  wav_rate = md_mixfreq;
  if (!write_header(0)) note_failure();
  return VC_Init();
}

void capture_exit() {
  VC_Exit();
  if (!wav_file) return;
  if (!write_header(data_bytes)) note_failure();
  if (std::fclose(wav_file) != 0) note_failure();
  wav_file = nullptr;
}

int capture_reset() { return 0; }

void capture_update() {
  // 10 ms at the mixing rate: 441 frames at 44.1 kHz.
  SBYTE buffer[FRAMES_PER_STEP * BYTES_PER_FRAME * 2];
  const ULONG frames = wav_rate / 100u;
  const ULONG bytes = frames * BYTES_PER_FRAME;
  if (!wav_file || bytes > sizeof buffer) return;
  const ULONG mixed = VC_WriteBytes(buffer, bytes);
  if (mixed < bytes) std::memset(buffer + mixed, 0, bytes - mixed);
  heard_mixed(frames);
  if (!keeping) return;  // mixed all the same: the song goes on as it would
  // The mixer's samples are 16-bit words in the machine's byte order; a
  // WAV's are little-endian.
  if constexpr (std::endian::native == std::endian::big)
    for (ULONG i = 0; i + 1 < bytes; i += 2) std::swap(buffer[i], buffer[i + 1]);
  if (std::fwrite(buffer, 1, bytes, wav_file) != bytes)
    note_failure();
  else
    data_bytes += static_cast<std::uint32_t>(bytes);
}

MDRIVER drv_capture = mixer_driver({"Capture", "WAV capture in 10 ms steps", "capture",
                                    capture_is_present, capture_init, capture_exit, capture_reset,
                                    VC_PlayStart, VC_PlayStop, capture_update});
}  // namespace

int music_capture_driver_ordinal() { return wav_file ? driver_ordinal : 0; }

bool music_capture_ok() { return !write_failed; }

void music_capture_keep(bool keep) { keeping = keep; }

bool music_capture_open(const char* wav_path) {
  if (wav_file) return true;
  wav_file = std::fopen(wav_path, "wb");
  if (!wav_file) {
    std::fprintf(stderr, "Unable to create the sound file %s\n", wav_path);
    return false;
  }
  data_bytes = 0;
  write_failed = false;
  keeping = true;
  if (!registered) {
    MikMod_RegisterDriver(&drv_capture);
    registered = true;
  }
  driver_ordinal = MikMod_DriverFromAlias(const_cast<CHAR*>("capture"));
  if (driver_ordinal <= 0) {
    std::fprintf(stderr, "Unable to register the capture sound driver\n");
    std::fclose(wav_file);
    wav_file = nullptr;
    return false;
  }
  return true;
}
