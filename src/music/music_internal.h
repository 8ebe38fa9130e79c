// What the player shares with its drivers' helpers; not for other subsystems.
#pragma once

// The ordinal of the capture driver once music_capture_open has registered
// it, else 0.
int music_capture_driver_ordinal();

// When the library plays through its SDL driver: closes SDL's audio device,
// waiting for a callback in flight. Does nothing with any other driver.
void music_sdl_audio_close();
