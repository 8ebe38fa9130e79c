// The console back end's one extra call: demo control chooses the pixel
// converter by the depth of the mode that was set (start-up step 5).
#pragma once

// False when the depth is not 32, 24, 16 or 15.
bool vga_choose_converter();
