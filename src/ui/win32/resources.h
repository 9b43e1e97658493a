#pragma once

// The resources of Pixtrel.exe, for the resource script and the code alike.

/// The window's 32 x 32, 16-colour icon, which is also the program's.
#define kIconResource 1
