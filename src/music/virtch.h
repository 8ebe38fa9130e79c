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
