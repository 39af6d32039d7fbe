#pragma once
// Running programs from /proc: the target of every /proc/<pid>/exe link.

#include "platform/process_list.h"

class ProcProcessList : public ProcessList
{
public:
    explicit ProcProcessList(const QString& procRoot = QStringLiteral("/proc"));
    QSet<QString> runningPrograms() const override;

private:
    QString m_root;
};
