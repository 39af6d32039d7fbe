#include "browser/bridge_script.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QUrl>

namespace {
QByteArray resource(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

QWebEngineScript bridgeScript(const QString& programFolder)
{
    Q_INIT_RESOURCE(browser);
    QString folder = programFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QString prefix = QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded);
    // The JSON text of an array holding the prefix, without the brackets,
    // is the prefix as a JavaScript string literal.
    QByteArray literal = QJsonDocument(QJsonArray{prefix}).toJson(QJsonDocument::Compact);
    literal = literal.mid(1, literal.size() - 2);

    QByteArray source = "(function () {\nvar TESK_PROGRAM_URL = " + literal + ";\n";
    source += resource(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    source += "\n";
    source += resource(QStringLiteral(":/bridge/bridge.js"));
    source += "\n})();\n";

    QWebEngineScript script;
    script.setName(QStringLiteral("tesk-bridge"));
    script.setSourceCode(QString::fromUtf8(source));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    return script;
}
