#pragma once
// A private copy of the staged program folder in a temporary directory, so a
// test never writes into the build tree and tests can run side by side.

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class ProgramFolder
{
public:
    ProgramFolder();
    bool isValid() const { return m_valid; }
    // The program folder, and a temporary folder private to this copy (the
    // single-instance socket and the engine cache live there).
    QString path() const { return m_root.path() + QStringLiteral("/program"); }
    QString tempPath() const { return m_root.path() + QStringLiteral("/tmp"); }
    QString file(const QString& relative) const { return path() + QLatin1Char('/') + relative; }
    QString executable() const { return file(QStringLiteral("tesk")); }
    // The environment a copy of the program runs in.
    QProcessEnvironment environment() const;

private:
    QTemporaryDir m_root;
    bool m_valid = false;
};

// The staged program folder of the build.
QString stagedProgramFolder();
bool copyFolder(const QString& from, const QString& to);
