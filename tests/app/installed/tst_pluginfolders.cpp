#include "app/installed/PluginFolders.h"

#include <QtTest>

class TestPluginFolders : public QObject
{
    Q_OBJECT

private slots:
    void folders_data()
    {
        QTest::addColumn<QByteArray>("root");
        QTest::addColumn<QStringList>("folders");
#ifdef Q_OS_WIN
        QTest::newRow("fixed") << QByteArray("D:/elsewhere")
                               << QStringList({ "C:/Program Files/Movrane/MovraStudio/plugins/",
                                                "C:/Program Files/Movrane/Movra Tessaly/plugins/" });
#else
        const QString fallback = QStringLiteral(MOVRA_DEFAULT_INSTALL_ROOT);
        QTest::newRow("default") << QByteArray()
                                 << QStringList(
                                        { fallback + "/MovraStudio/plugins/", fallback + "/Movra Tessaly/plugins/" });
        QTest::newRow("configured") << QByteArray("/srv/movrane")
                                    << QStringList({ "/srv/movrane/MovraStudio/plugins/",
                                                     "/srv/movrane/Movra Tessaly/plugins/" });
        QTest::newRow("trailing slashes")
            << QByteArray("/srv/movrane//")
            << QStringList({ "/srv/movrane/MovraStudio/plugins/", "/srv/movrane/Movra Tessaly/plugins/" });
#endif
    }

    void folders()
    {
        QFETCH(QByteArray, root);
        QFETCH(QStringList, folders);
        if (root.isEmpty())
            qunsetenv("MOVRA_INSTALL_ROOT");
        else
            qputenv("MOVRA_INSTALL_ROOT", root);
        QCOMPARE(nsUpdater::acquisitionPluginFolders(), folders);
    }
};

QTEST_APPLESS_MAIN(TestPluginFolders)
#include "tst_pluginfolders.moc"
