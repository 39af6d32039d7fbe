#include "update/updater_launch.h"

std::atomic<bool> g_updatePending{false};

void launchUpdater()
{
    // The updater program and the client package come with online updates.
}
