#pragma once
// The update cache below the program folder ("tupdates/<kind>/" with its
// "temp" and "ready" folders) and the two ways a ready package is
// installed: the HTML package copied over "view/" at once, the client
// package replaced by the Updater program after the client has exited.

#include <QString>

#include <atomic>

// A client update is ready; the entry point starts the updater at exit.
extern std::atomic<bool> g_updatePending;
// The updater could not be moved into the program folder for lack of rights.
extern std::atomic<bool> g_updaterNeedsElevation;

// "tupdates/<kind>" below the program folder.
QString updateCacheFolder(const QString& kind);

// Deletes "tupdates/client", whatever package failed.
void clearUpdateCache();
// Deletes a file or a folder tree, without asking; true when it is gone.
bool deleteFolderSilently(const QString& path);
// Moves the updater out of the ready client package into the program folder.
bool prepareClientUpdate();
// Starts the updater with "-update" (the entry point calls it after the
// engine has shut down, when g_updatePending is set).
void launchUpdater();
// Copies the ready HTML package over "view/".
bool installHtmlPackage();
