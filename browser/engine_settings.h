#pragma once
// How the browser engine is configured for this program: no sandbox, a disk
// cache and cookie store in the temporary folder, session cookies kept across
// restarts, a dark background before the page paints, and "web.log".

#include <QColor>
#include <QString>

struct EngineSettings
{
    bool noSandbox = true;
    QString logFile = QStringLiteral("web.log");
    QString cachePath;  // temporary folder + "/Cache"
    bool persistSessionCookies = true;
    QColor backgroundColor = QColor::fromRgba(0xFF222529);
};

// The program's settings; `cachePath` follows the temporary folder of the moment.
EngineSettings programEngineSettings();

// What must happen before the Qt application object exists.
void prepareEngineProcess(const EngineSettings& settings);

// Applies the settings to the engine's default profile. Starting the engine
// is costly, so this runs once, when the first browser is about to be made,
// never in a copy that only hands over to a running one.
void startEngine();

// The settings in force (set by the entry point).
const EngineSettings& engineSettings();
void setEngineSettings(const EngineSettings& settings);
