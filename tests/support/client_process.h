#pragma once
// A copy of the client started from a private program folder, as a user
// would start it, and the waits that tests need around it.

#include "tests/support/program_folder.h"

#include <QProcess>
#include <QStringList>
#include <functional>

class ClientProcess
{
public:
    explicit ClientProcess(const ProgramFolder& folder);
    ~ClientProcess();

    void start(const QStringList& arguments = {});
    bool waitForExit(int ms);
    void kill();  // SIGKILL: what a crash leaves behind
    qint64 pid() const { return m_process.processId(); }
    QProcess& process() { return m_process; }

private:
    const ProgramFolder& m_folder;
    QProcess m_process;
};

// Polls `condition` with the event loop running until it holds or `ms` pass.
bool waitUntil(const std::function<bool()>& condition, int ms = 15000);

// How many lines of the program folder's "web.log" contain `text`.
int logLineCount(const ProgramFolder& folder, const QString& text);
