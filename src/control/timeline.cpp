// STUB: replaced by the timeline.
#include "common/globals.h"
#include "control/demo.h"
void timeline_run() { demo_running = 0; }
