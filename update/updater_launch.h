#pragma once
// A downloaded client update waits in the update cache until the program has
// ended; then the entry point starts the updater, after the browser engine
// has shut down.

#include <atomic>

extern std::atomic<bool> g_updatePending;

// Starts the updater with "-update". Called by the entry point only when
// `g_updatePending` is set.
void launchUpdater();
