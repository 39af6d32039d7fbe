// Update packages as the builder makes them and the client unpacks them:
// the layout, the SHA-1 and signature checks, the payload reading with its
// limits, and names that try to leave the unpacking folder.

#include "update/package_signature.h"
#include "update/update_package.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sodium.h>

namespace {

QByteArray testKey()
{
    QFile f(QStringLiteral(TESK_TEST_KEYS "/test_key.sec"));
    f.open(QIODevice::ReadOnly);
    return QByteArray::fromHex(f.readAll().trimmed());
}

// A payload written field by field, for the damaged ones.
struct Payload
{
    QByteArray bytes;
    QDataStream out{&bytes, QIODevice::WriteOnly};
};

}  // namespace

class TestUpdatePackage : public QObject
{
    Q_OBJECT
    QTemporaryDir m_root;
    int m_run = 0;

    QString kindFolder() const { return m_root.path() + QStringLiteral("/cache/tupdates/client"); }
    QString packagePath() const { return kindFolder() + QStringLiteral("/client.upd"); }

    // Writes `package`, unpacks it, and returns the error ("" on success).
    QString unpack(const QByteArray& package, QString* version = nullptr, bool* ok = nullptr)
    {
        QDir().mkpath(kindFolder());
        QFile f(packagePath());
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(package);
        f.close();
        QString v, error;
        const bool unpacked = unpackPackageFile(packagePath(), kindFolder(), &v, &error);
        if (version)
            *version = v;
        if (ok)
            *ok = unpacked;
        return error;
    }
    // Every file below the root that is not the package or the cache's own folders.
    QStringList strayFiles() const
    {
        QStringList out;
        QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.startsWith(kindFolder() + QStringLiteral("/ready/")) && f != packagePath())
                out << f;
        }
        return out;
    }

private slots:
    void unpacksIntoTheReadyFolder()
    {
        const QByteArray package = buildPackage(QStringLiteral("1.0.1"),
                                                {{"pkg/Updater", "updater bytes"}, {"pkg/lib/a.so", QByteArray(70000, 'x')}},
                                                testKey());
        QCOMPARE(package.mid(0, 4), QByteArray("TSIG"));
        QString version;
        bool ok = false;
        QCOMPARE(unpack(package, &version, &ok), QString());
        QVERIFY(ok);
        QCOMPARE(version, QStringLiteral("1.0.1"));
        QFile updater(kindFolder() + QStringLiteral("/ready/Updater"));
        QVERIFY(updater.open(QIODevice::ReadOnly));
        QCOMPARE(updater.readAll(), QByteArray("updater bytes"));
        QCOMPARE(QFileInfo(kindFolder() + QStringLiteral("/ready/lib/a.so")).size(), 70000);
        QVERIFY(!QFileInfo::exists(packagePath()));  // the package is gone
        QVERIFY(!QFileInfo::exists(kindFolder() + QStringLiteral("/temp")));
    }

    void refusedPackages_data()
    {
        QTest::addColumn<QByteArray>("package");
        QTest::addColumn<QString>("error");
        const QByteArray key = testKey();
        const QByteArray good = buildPackage(QStringLiteral("2"), {{"pkg/a", QByteArray(4000, 'a') + "end"}}, key);

        QByteArray altered = good;
        QVERIFY(altered.size() > 200);
        altered[200] = char(altered[200] ^ 0x01);
        QTest::newRow("altered byte") << altered << QStringLiteral("Update Error: bad SHA1 hash of update file!");
        QTest::newRow("157 bytes") << good.left(157) << QString();

        // Another key: the SHA-1 is right, the signature is not.
        unsigned char pk[crypto_sign_PUBLICKEYBYTES], sk[crypto_sign_SECRETKEYBYTES];
        QVERIFY(sodium_init() >= 0);
        crypto_sign_keypair(pk, sk);
        QTest::newRow("other key") << buildPackage(QStringLiteral("2"), {{"pkg/a", "a"}},
                                                   QByteArray(reinterpret_cast<char*>(sk), sizeof sk))
                                   << QStringLiteral("Update Error: bad signature of update file!");
        QByteArray unsignedPackage = good;
        unsignedPackage.replace(0, 128, QByteArray(128, '\0'));
        QTest::newRow("unsigned") << unsignedPackage << QStringLiteral("Update Error: bad signature of update file!");

        QTest::newRow("no files") << wrapPayload(packagePayload(QStringLiteral("2"), {}), key)
                                  << QStringLiteral("Update Error: update is empty!");
        // A leading "/" is the dropped first component, so "/etc/x" stays inside as etc/x.
        for (const char* name : {"pkg/../../escaped", "pkg//abs", "pkg/./a", "single"}) {
            QTest::newRow(name) << buildPackage(QStringLiteral("2"), {{"pkg/ok", "fine"}, {QString::fromLatin1(name), "evil"}}, key)
                                << QStringLiteral("Update Error: cant open file '%1' for writing")
                                       .arg(kindFolder() + QStringLiteral("/temp/") + QString::fromLatin1(name));
        }
        {
            Payload p;
            p.out << QStringLiteral("2") << quint32(1) << QStringLiteral("pkg/a") << quint32(5) << QByteArray("abc");
            QTest::newRow("size mismatch") << wrapPayload(p.bytes, key)
                                           << QStringLiteral("Update Error: bad file size 5 not matching data size 3");
        }
        {
            // A data length of 4 GiB - 2 with three bytes behind it.
            Payload p;
            p.out << QStringLiteral("2") << quint32(1) << QStringLiteral("pkg/a") << quint32(0xFFFFFFFE);
            p.bytes += QByteArray::fromHex("fffffffe") + "abc";
            QTest::newRow("absurd data length") << wrapPayload(p.bytes, key)
                                                << QStringLiteral("Update Error: cant read file from downloaded stream, status: 1");
        }
        {
            Payload p;
            p.out << QStringLiteral("2");
            QTest::newRow("no count") << wrapPayload(p.bytes, key)
                                      << QStringLiteral("Update Error: cant read files count from downloaded stream, status: 1");
        }
        {
            QByteArray huge = good;
            huge.replace(153, 4, QByteArray::fromHex("ffffffff"));
            // Re-seal so that only the length is wrong.
            const QByteArray digest = QCryptographicHash::hash(huge.mid(148), QCryptographicHash::Sha1);
            huge.replace(128, 20, digest);
            signPackage(huge, key);
            QTest::newRow("absurd payload length") << huge
                                                   << QStringLiteral("Update Error: payload length 4294967295 is out of range");
        }
    }
    void refusedPackages()
    {
        QFETCH(QByteArray, package);
        bool ok = true;
        const QString error = unpack(package, nullptr, &ok);
        QVERIFY(!ok);
        QTEST(error, "error");
        QVERIFY(!QFileInfo::exists(kindFolder() + QStringLiteral("/ready")));
        QVERIFY2(strayFiles().isEmpty(), qPrintable(strayFiles().join(QLatin1Char(' '))));
        QVERIFY(!QFileInfo::exists(m_root.path() + QStringLiteral("/cache/tupdates/escaped")));
    }

    void relativePaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("first part dropped") << "x/Updater" << "Updater";
        QTest::newRow("nested") << "pkg/lib/a.dll" << "lib/a.dll";
        QTest::newRow("no slash") << "Updater" << "";
        QTest::newRow("dot dot") << "pkg/../a" << "";
        QTest::newRow("absolute") << "/abs/a" << "abs/a";
        QTest::newRow("nul") << QStringLiteral("pkg/a") + QChar(0) + QStringLiteral("b") << "";
        QTest::newRow("backslash") << "pkg\\..\\a" << "";
    }
    void relativePaths()
    {
        QFETCH(QString, name);
        QTEST(packageRelativePath(name), "path");
    }
};

QTEST_GUILESS_MAIN(TestUpdatePackage)
#include "test_update_package.moc"
