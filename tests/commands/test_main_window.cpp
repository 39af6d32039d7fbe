// The main window: its size from "clientSize", a minimum size equal to it,
// frameless flags, and a close that only hides.

#include "commands/tesk.h"

#include <QtTest>

#include "tests/support/webengine_test_main.h"

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void clientSize_data()
    {
        QTest::addColumn<QString>("value");  // null: key absent
        QTest::addColumn<QSize>("size");
        QTest::newRow("absent") << QString() << QSize(800, 600);
        QTest::newRow("set") << "1280,720" << QSize(1280, 720);
        QTest::newRow("extra parts ignored") << "1024,768,5" << QSize(1024, 768);
        QTest::newRow("one part") << "1024" << QSize(800, 600);
        QTest::newRow("not numbers") << "wide,tall" << QSize(800, 600);
        QTest::newRow("empty") << "" << QSize(800, 600);
    }
    void clientSize()
    {
        QFETCH(QString, value);
        QFETCH(QSize, size);
        ConfMap conf;
        if (!value.isNull())
            conf.insert(QStringLiteral("clientSize"), value);
        QCOMPARE(clientSizeFromConf(conf), size);
    }

    void windowShape()
    {
        tesk window;
        QCOMPARE(window.size(), QSize(800, 600));
        QCOMPARE(window.minimumSize(), QSize(800, 600));
        QCOMPARE(int(window.windowFlags()), 26625);
        QCOMPARE(window.objectName(), QStringLiteral("teskClass"));
        QCOMPARE(window.windowTitle(), QStringLiteral("tesk"));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.close());  // refused: the program goes on in the tray
        QVERIFY(window.isHidden());
    }
};

TESK_WEBENGINE_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
