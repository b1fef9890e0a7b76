#pragma once
// Scripted checks of the running program read its cell grid: with the
// environment variable VK_SCREEN_DUMP naming a file, SIGUSR1 asks for the
// grid's text, which the key reader writes there (one UTF-8 line a row)
// the next time it waits, or an attached command's loop within 100 ms.
// Application thread, except the signal handler.

/// Installs the SIGUSR1 handler when VK_SCREEN_DUMP is set.
void EnableScreenDumps();
