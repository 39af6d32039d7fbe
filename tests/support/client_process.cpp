#include "tests/support/client_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

ClientProcess::ClientProcess(const ProgramFolder& folder)
    : m_folder(folder)
{
    m_process.setProcessEnvironment(folder.environment());
    m_process.setWorkingDirectory(folder.path());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

ClientProcess::~ClientProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

void ClientProcess::start(const QStringList& arguments)
{
    m_process.start(m_folder.executable(), arguments);
    m_process.waitForStarted(10000);
}

bool ClientProcess::waitForExit(int ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
}

void ClientProcess::kill()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool waitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

int logLineCount(const ProgramFolder& folder, const QString& text)
{
    QFile log(folder.file(QStringLiteral("web.log")));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    return QString::fromUtf8(log.readAll()).count(text);
}
