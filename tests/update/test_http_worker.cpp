// The HTTP worker: query strings, bodies and attribute encoding as the
// wire carries them, and real requests to the loopback service.

#include "tools/update_service/update_service.h"
#include "update/http_request_worker.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestHttpWorker : public QObject
{
    Q_OBJECT

    static QByteArray body(HttpRequestParams& p, QByteArray* type)
    {
        return HttpRequestWorker::buildBody(p, "BOUNDARY", type);
    }

private slots:
    void percentEncoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("unreserved") << QStringLiteral("aZ09-._~") << QByteArray("aZ09-._~");
        QTest::newRow("space") << QStringLiteral("a b") << QByteArray("a%20b");
        QTest::newRow("e acute") << QStringLiteral("\u00e9") << QByteArray("%C3%A9");
        QTest::newRow("reserved") << QStringLiteral("a&b=c/?") << QByteArray("a%26b%3Dc%2F%3F");
    }
    void percentEncoding()
    {
        QFETCH(QString, text);
        QTEST(HttpRequestWorker::percentEncode(text), "wire");
    }

    void headerAttributes_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("attribute");
        QTest::newRow("plain") << QStringLiteral("a.txt") << QByteArray("filename=\"a.txt\"");
        QTest::newRow("quote") << QStringLiteral("a\"b") << QByteArray("filename=\"a\\\"b\"");
        QTest::newRow("non-ASCII") << QStringLiteral("r\u00e9.txt")
                                   << QByteArray("filename=\"r.txt\"; filename*=utf-8''r%C3%A9%2Etxt");
        QTest::newRow("only non-ASCII") << QStringLiteral("\u00e9") << QByteArray("filename=\"\"; filename*=utf-8''%C3%A9");
        QTest::newRow("slash") << QStringLiteral("a/b") << QByteArray("filename=\"ab\"; filename*=utf-8''a%2Fb");
    }
    void headerAttributes()
    {
        QFETCH(QString, value);
        QTEST(HttpRequestWorker::encodeHeaderAttribute(QStringLiteral("filename"), value), "attribute");
    }

    void layoutsAndBodies()
    {
        QByteArray type;
        HttpRequestParams get(QStringLiteral("http://h/x"));
        get.variables.insert(QStringLiteral("b"), QStringLiteral("2"));
        get.variables.insert(QStringLiteral("a"), QStringLiteral("1"));
        QVERIFY(body(get, &type).isEmpty());
        QCOMPARE(get.url, QStringLiteral("http://h/x?a=1&b=2"));
        QCOMPARE(get.layout, Query);
        QVERIFY(type.isEmpty());

        HttpRequestParams bare(QStringLiteral("http://h/x"));
        body(bare, &type);
        QCOMPARE(bare.url, QStringLiteral("http://h/x"));  // no trailing "?"

        HttpRequestParams post(QStringLiteral("http://h/x"), QStringLiteral("POST"));
        post.variables.insert(QStringLiteral("k"), QStringLiteral("v w"));
        QCOMPARE(body(post, &type), QByteArray("k=v%20w"));
        QCOMPARE(type, QByteArray("application/x-www-form-urlencoded"));
        HttpRequestParams emptyPost(QStringLiteral("http://h/x"), QStringLiteral("POST"));
        QCOMPARE(body(emptyPost, &type), QByteArray());
        QCOMPARE(type, QByteArray("application/x-www-form-urlencoded"));

        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("up.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("DATA");
        file.close();
        HttpRequestParams multi(QStringLiteral("http://h/x"), QStringLiteral("POST"));
        multi.variables.insert(QStringLiteral("v"), QStringLiteral("1"));
        multi.files.append({QStringLiteral("missing"), dir.filePath(QStringLiteral("nope")), QString(), QString()});
        multi.files.append({QStringLiteral("f"), file.fileName(), QString(), QStringLiteral("application/x-test")});
        QCOMPARE(body(multi, &type),
                 QByteArray("--BOUNDARY\r\nContent-Disposition: form-data; name=\"v\"\r\nContent-Type: text/plain\r\n\r\n1\r\n"
                            "--BOUNDARY\r\nContent-Disposition: form-data; name=\"f\"; filename=\"up.bin\"\r\n"
                            "Content-Type: application/x-test\r\nContent-Transfer-Encoding: binary\r\n\r\nDATA\r\n"
                            "--BOUNDARY--"));
        QCOMPARE(type, QByteArray("multipart/form-data; boundary=BOUNDARY"));
        QCOMPARE(multi.files.at(1).uploadName, QStringLiteral("up.bin"));
        HttpRequestParams onlyMissing(QStringLiteral("http://h/x"), QStringLiteral("POST"));
        onlyMissing.files.append({QStringLiteral("f"), dir.filePath(QStringLiteral("nope")), QString(), QString()});
        QCOMPARE(body(onlyMissing, &type), QByteArray("--BOUNDARY--"));
    }

    void realRequests()
    {
        UpdateService service;
        QVERIFY(service.listen());
        service.upgradeAnswer = "{\"code\":1}";
        HttpRequestWorker worker;
        QSignalSpy finished(&worker, &HttpRequestWorker::on_execution_finished);
        HttpRequestParams ok(service.baseUrl() + QStringLiteral("/api/system/upgrade"));
        ok.variables.insert(QStringLiteral("version"), QStringLiteral("1.0 \u00e9"));
        ok.variables.insert(QStringLiteral("deviceid"), QString());
        worker.execute(&ok);
        QVERIFY(finished.wait());
        QCOMPARE(worker.errorType, QNetworkReply::NoError);
        QCOMPARE(worker.response, QByteArray("{\"code\":1}"));
        QCOMPARE(service.requests.last(), QStringLiteral("GET /api/system/upgrade?deviceid=&version=1.0%20%C3%A9 | "));

        HttpRequestParams missing(service.baseUrl() + QStringLiteral("/nothing"));
        worker.execute(&missing);
        QVERIFY(finished.wait());
        QTest::qWait(100);
        QCOMPARE(finished.count(), 2);  // one signal per reply
        QVERIFY(worker.errorType != QNetworkReply::NoError);
        QVERIFY(worker.response.isEmpty());
        QVERIFY(!worker.errorString.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHttpWorker)
#include "test_http_worker.moc"
