#ifndef DISPLAY_H
#define DISPLAY_H

#include <stdint.h>

/* An SSD1306's 128 x 64 pixels, eight pages of 128 columns, a byte a column
   of eight rows, the top row in bit 0. */
extern uint8_t frame[8][128];

void draw_menu_line(unsigned line, uint8_t x, uint8_t page);

#endif
