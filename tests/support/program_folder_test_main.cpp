#include "tests/support/program_folder_test_main.h"

#include <QCoreApplication>

int relocateIntoProgramFolder(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ProgramFolder folder;
    const QString copy = folder.file(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!folder.isValid() || !QFile::copy(QCoreApplication::applicationFilePath(), copy)) {
        qCritical("cannot make a private program folder");
        return 1;
    }
    QFile::setPermissions(copy, QFile::permissions(QCoreApplication::applicationFilePath()));
    QProcess test;
    QProcessEnvironment env = folder.environment();
    env.insert(QStringLiteral("TESK_TEST_RELOCATED"), QStringLiteral("1"));
    test.setProcessEnvironment(env);
    test.setWorkingDirectory(folder.path());
    test.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    test.start(copy, arguments);
    if (!test.waitForStarted(10000) || !test.waitForFinished(-1))
        return 1;
    return test.exitStatus() == QProcess::NormalExit ? test.exitCode() : 1;
}
