#include "art.h"

Picture art_text(int index) {
  switch (index) {
    case 0:
      return texture_emblem();
    case 1:
      return texture_tile();
    case 2:
      return texture_checks();
    case 3:
      return texture_panels();
    case 4:
      return texture_tracks();
    case 5:
    case 6:
      return texture_spare(index);
    case 7:
      return picture_planet();
    case 8:
      return picture_relief();
    case 9:
      return texture_glass_view();
    case 10:
      return picture_closing();
    default:
      return {};
  }
}

Mask art_map(int index) {
  if (index == 4) return map_height();
  if (index < 0 || index >= ART_MAP_COUNT) return {};
  return map_text(index);
}
