#include "automation/process_moniter.h"

#include "app/globals.h"
#include "app/logging.h"
#include "browser/client_handler.h"
#include "platform/platform.h"
#include "platform/process_list.h"

#include <QThread>

#include <pugixml.hpp>

ProcessMoniter::ProcessMoniter(QThread* thread, int pollIntervalMs)
    : m_intervalMs(pollIntervalMs)
{
    moveToThread(thread);
    connect(thread, &QThread::started, this, &ProcessMoniter::start);
}

int processPollInterval()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TESK_PROCESS_POLL_MS", &ok);
    return ok && ms > 0 ? ms : 3000;
}

void ProcessMoniter::start()
{
    loadBindings();
    pollLoop();
}

void ProcessMoniter::loadBindings()
{
    bindings.clear();
    runningState.clear();
    const QByteArray path = (exeDir() + QStringLiteral("view/xml/configuration.xml")).toUtf8();
    pugi::xml_document doc;
    if (!doc.load_file(path.constData()))
        return;
    for (const pugi::xpath_node& n : doc.select_nodes("/conf/modeSetting/modes/mode")) {
        const QString program = QString::fromUtf8(n.node().attribute("bindingProcess").value());
        if (program.isEmpty())
            continue;
        bindings.insert(program, QString::fromUtf8(n.node().attribute("index").value()));
        runningState.insert(program, false);
    }
}

bool ProcessMoniter::sleepInterval()
{
    // In short steps, so a stopped monitor's thread ends soon after.
    for (int slept = 0; slept < m_intervalMs; slept += 50) {
        if (!keepRunning)
            return false;
        QThread::msleep(unsigned(qMin(50, m_intervalMs - slept)));
    }
    return keepRunning;
}

void ProcessMoniter::pollLoop()
{
    if (bindings.isEmpty())
        return;
    while (keepRunning) {
        if (!sleepInterval())
            return;
        const QSet<QString> running = platform::processList().runningPrograms();
        QMap<QString, bool> now;
        for (auto it = bindings.cbegin(); it != bindings.cend(); ++it)
            now.insert(it.key(), running.contains(it.key()));
        if (now != runningState) {
            for (auto it = now.cbegin(); it != now.cend(); ++it) {
                if (it.value() == runningState.value(it.key()))
                    continue;
                LOG_INFO(QStringLiteral("current process status changed!"));
                LOG_INFO(QStringLiteral("%1  become %2")
                             .arg(it.key(), it.value() ? QStringLiteral("1") : QStringLiteral("0")));
                if (g_clientHandler)
                    g_clientHandler->onProcessChanged(bindings.value(it.key()), it.value());
            }
        }
        runningState = now;
    }
}
