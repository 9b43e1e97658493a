#pragma once

class QApplication;

/// Starts the program in `app`: names it, gives it its icon, creates and
/// loads the window from the program directory and shows it, then runs the
/// event loop. Returns the program's exit status: 1 when loading failed (the
/// window is never shown) or an event failed, 0 when the window was closed.
int RunPixtrel(QApplication& app);
