// The video of a capture, made by the ffmpeg program: the frames are piped
// to it as raw pictures while the demo runs, and once the WAV is complete
// a second run puts pictures and sound into the final file.
#pragma once
#include <cstdint>
#include <span>
#include <string>

// The endings of --video names, each a container that takes H.264 and AAC.
extern const char* const VIDEO_ENDINGS;
// True when the file name ends in one of them (any case): ffmpeg chooses the
// container from it.
bool video_name_known(const std::string& name);

// True when an executable "ffmpeg" is on PATH.
bool video_program_found();

// Starts the encoder writing the picture-only file `part_path` from frames
// of width x height: H.264 4:2:0 at a constant quality for ordinary players,
// or lossless RGB.
bool video_open(const std::string& part_path, int width, int height, bool lossless);
// One frame of the size given to video_open; false once the encoder has gone.
bool video_frame(std::span<const std::uint32_t> pixels);
// Ends the stream and waits for the encoder; false when it failed.
bool video_close();

// Pictures of part_path and sound of wav_path into out_path.
bool video_mux(const std::string& part_path, const std::string& wav_path,
               const std::string& out_path);
