#pragma once
// The bridge script injected into every frame: qwebchannel.js plus the
// page's query and event functions, which only pages below `programFolder`
// receive.

#include <QWebEngineScript>

QWebEngineScript bridgeScript(const QString& programFolder);
