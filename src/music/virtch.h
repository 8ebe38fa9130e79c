// The software mixer functions a driver of our own routes everything but its
// output through. libmikmod exports them; older releases do not declare them.
#pragma once
#include <mikmod.h>

extern "C" {
int VC_Init(void);
void VC_Exit(void);
int VC_SetNumVoices(void);
ULONG VC_SampleSpace(int);
ULONG VC_SampleLength(int, SAMPLE*);
int VC_PlayStart(void);
void VC_PlayStop(void);
SWORD VC_SampleLoad(struct SAMPLOAD*, int);
void VC_SampleUnload(SWORD);
ULONG VC_WriteBytes(SBYTE*, ULONG);
ULONG VC_SilenceBytes(SBYTE*, ULONG);
void VC_VoiceSetVolume(UBYTE, UWORD);
UWORD VC_VoiceGetVolume(UBYTE);
void VC_VoiceSetFrequency(UBYTE, ULONG);
ULONG VC_VoiceGetFrequency(UBYTE);
void VC_VoiceSetPanning(UBYTE, ULONG);
ULONG VC_VoiceGetPanning(UBYTE);
void VC_VoicePlay(UBYTE, SWORD, ULONG, ULONG, ULONG, ULONG, UWORD);
void VC_VoiceStop(UBYTE);
BOOL VC_VoiceStopped(UBYTE);
SLONG VC_VoiceGetPosition(UBYTE);
ULONG VC_VoiceRealVolume(UBYTE);
}

// What tells one of our drivers from another: its names and its device's
// start-up, output and shut-down. Samples and voices are the mixer's.
struct MixerDevice {
  const CHAR* name;
  const CHAR* version;
  const CHAR* alias;
  BOOL (*is_present)();
  int (*init)();
  void (*exit)();
  int (*reset)();
  int (*play_start)();
  void (*play_stop)();
  void (*update)();
};

// A driver record for the library: the device's functions, the mixer's for the rest.
constexpr MDRIVER mixer_driver(const MixerDevice& d) {
  return {
      .next = nullptr,
      .Name = d.name,
      .Version = d.version,
      .HardVoiceLimit = 0,
      .SoftVoiceLimit = 255,
      .Alias = d.alias,
      .CmdLineHelp = nullptr,
      .CommandLine = nullptr,
      .IsPresent = d.is_present,
      .SampleLoad = VC_SampleLoad,
      .SampleUnload = VC_SampleUnload,
      .FreeSampleSpace = VC_SampleSpace,
      .RealSampleLength = VC_SampleLength,
      .Init = d.init,
      .Exit = d.exit,
      .Reset = d.reset,
      .SetNumVoices = VC_SetNumVoices,
      .PlayStart = d.play_start,
      .PlayStop = d.play_stop,
      .Update = d.update,
      .Pause = nullptr,
      .VoiceSetVolume = VC_VoiceSetVolume,
      .VoiceGetVolume = VC_VoiceGetVolume,
      .VoiceSetFrequency = VC_VoiceSetFrequency,
      .VoiceGetFrequency = VC_VoiceGetFrequency,
      .VoiceSetPanning = VC_VoiceSetPanning,
      .VoiceGetPanning = VC_VoiceGetPanning,
      .VoicePlay = VC_VoicePlay,
      .VoiceStop = VC_VoiceStop,
      .VoiceStopped = VC_VoiceStopped,
      .VoiceGetPosition = VC_VoiceGetPosition,
      .VoiceRealVolume = VC_VoiceRealVolume,
  };
}
