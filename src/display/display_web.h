// The browser back end of qn-web: what its entry point tells it beyond the
// display interface. In test mode it keeps each presented picture instead of
// showing it, as the capture back end does, until the test's frame is reached.
#pragma once

// Before display_open: keep pictures, show none until display_web_show_kept.
void display_web_keep_pictures();

// Test mode: the last picture presented (black after a clear) onto the canvas.
void display_web_show_kept();
