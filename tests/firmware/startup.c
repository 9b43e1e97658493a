/* Reset draws line 1 of the menu, then waits. */
#include "display.h"

void reset(void);

void reset(void) {
  draw_menu_line(1, 0, 0);
  for (;;) {
  }
}
