// Built without the sound server's client library: SDL is the only output of
// ours, and it estimates what is heard from its own buffer.
#include "music/music_internal.h"

void music_register_server_output() {}
void music_server_output_close() {}
void server_latency_start(unsigned) {}
void server_latency_stop() {}
bool server_latency_running() { return false; }
