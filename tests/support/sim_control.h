#pragma once
// The simulated mouse library as a test prepares and drives it: a folder
// with the library and its configuration, and the control channel of the
// copy loaded from that folder.

#include <QString>
#include <QStringList>

// Copies the library at `library` into `folder` and writes its
// configuration: one "device = ..." line per entry of `devices`, no
// periodic data reports.
bool installSimulatedLibrary(const QString& library, const QString& folder, const QStringList& devices);

// A device line for libhx.conf: DeviceID, Version, SN, MASK, HardwareID, DevicePath.
QString simDevice(const QString& deviceId, const QString& hardwareId);

// Sends one control command to the library loaded from `folder` and returns
// its answer without the line end ("error no channel" when none listens).
QString simControl(const QString& folder, const QString& command);
