#pragma once
// Watches for the programs the page bound to device modes: reads the
// bindings from "view/xml/configuration.xml" and polls the running
// programs on a thread of its own, reporting each bound program that starts
// or stops to the page ("onProcessChanged" with the mode index). The page
// decides what to do about it.

#include <QMap>
#include <QObject>
#include <QString>

#include <atomic>

class QThread;

class ProcessMoniter : public QObject
{
    Q_OBJECT
public:
    // Moves itself into `thread` and starts its work when the thread starts.
    explicit ProcessMoniter(QThread* thread, int pollIntervalMs = 3000);

    // Cleared by the owner on another thread to end polling.
    std::atomic<bool> keepRunning{true};

public slots:
    void start();

public:
    void loadBindings();
    void pollLoop();

    QMap<QString, QString> bindings;  // program path -> mode index
    QMap<QString, bool> runningState;

private:
    // Sleeps one interval; false when told to stop meanwhile.
    bool sleepInterval();
    const int m_intervalMs;
};

// The poll interval the main window's monitors use: 3000 ms, or
// TESK_PROCESS_POLL_MS when set (tests shorten it).
int processPollInterval();
