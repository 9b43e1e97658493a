/* Draws line 1 of the menu on pages 0 and 1, line 3 on pages 4 and 5, and
   writes the frame as a PBM picture; fails unless the title's glyphs, in a
   unit of their own, are the 12-pixel ones of its 8 characters. */
#include <stdio.h>

#include "display.h"
#include "title.h"

typedef char title_is_12_pixels_high[title_height == 12 ? 1 : -1];

int main(void) {
  int x, y;
  draw_menu_line(1, 0, 0);
  draw_menu_line(3, 0, 4);
  printf("P1\n128 64\n");
  for (y = 0; y < 64; ++y)
    for (x = 0; x < 128; ++x) printf("%d%c", frame[y / 8][x] >> (y % 8) & 1, x == 127 ? '\n' : ' ');
  return sizeof title_widths == 8 && title_codes[0] == 0x4E3B ? 0 : 1;
}
