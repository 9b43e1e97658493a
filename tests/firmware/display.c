/* The display's frame buffer and the drawing of a line of the menu, page by
   page, as an SSD1306 takes the records of --layout page-lsb. */
#include "display.h"

#include "menu.h"

uint8_t frame[8][128];

static void ssd1306_write(uint8_t page, uint8_t column, const uint8_t *bytes, unsigned n) {
  unsigned i;
  for (i = 0; i < n && column + i < 128; ++i) frame[page][column + i] = bytes[i];
}

/* Draws line `line` (from 1, as an editor counts) of the menu at column x
   of pages `page` and `page` + 1. */
void draw_menu_line(unsigned line, uint8_t x, uint8_t page) {
  const uint16_t first = menu_lines[line - 1][0], count = menu_lines[line - 1][1];
  for (uint16_t i = 0; i < count; ++i, x += 16) {
    ssd1306_write(page, x, menu_glyphs[first + i], 16);          /* top half */
    ssd1306_write(page + 1, x, menu_glyphs[first + i] + 16, 16); /* bottom half */
  }
}
