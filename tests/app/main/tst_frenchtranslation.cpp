#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// The French translation must cover every text of the application: the
// sources are scanned again into a copy of the translation file, so a text
// added in the code but not translated shows up as unfinished.
class TestFrenchTranslation : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated();
    void checkCatchesGaps_data();
    void checkCatchesGaps();

private:
    static QStringList untranslated(const QString& tsFile, QString* error);
    static QStringList scan(const QStringList& sourceDirs, const QString& tsCopy, QString* error);
};

QStringList TestFrenchTranslation::untranslated(const QString& tsFile, QString* error)
{
    QFile file(tsFile);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + tsFile;
        return {};
    }
    QStringList gaps;
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
                continue;
            if (type == QLatin1String("unfinished") || text.isEmpty())
                gaps << context + QStringLiteral(": ") + source;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return gaps;
}

QStringList TestFrenchTranslation::scan(const QStringList& sourceDirs, const QString& tsCopy, QString* error)
{
    QProcess lupdate;
    const QStringList arguments =
        QStringList { QStringLiteral("-silent"), QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                      QStringLiteral("none"),    QStringLiteral("-extensions"),  QStringLiteral("cpp,h,ui") }
        + QStringList { QStringLiteral("-I"), QStringLiteral(MOVRA_SOURCE_ROOT) } + sourceDirs
        + QStringList { QStringLiteral("-ts"), tsCopy };
    lupdate.start(QStringLiteral(MOVRA_LUPDATE), arguments);
    if (!lupdate.waitForFinished(60000) || lupdate.exitStatus() != QProcess::NormalExit || lupdate.exitCode() != 0) {
        *error = QStringLiteral("lupdate failed: ") + QString::fromLocal8Bit(lupdate.readAllStandardError());
        return {};
    }
    return untranslated(tsCopy, error);
}

void TestFrenchTranslation::everyTextIsTranslated()
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("check_fr_CA.ts"));
    QVERIFY(QFile::copy(QStringLiteral(MOVRA_FRENCH_TS), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

    QString error;
    const QStringList committed = untranslated(QStringLiteral(MOVRA_FRENCH_TS), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(committed.isEmpty(), qPrintable(QStringLiteral("Unfinished:\n") + committed.join(QLatin1Char('\n'))));

    // The folders whose texts are shown translated.
    const QStringList sources = QStringLiteral(MOVRA_TRANSLATED_SOURCES).split(QLatin1Char('|'));
    const QStringList gaps = scan(sources, copy, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(gaps.isEmpty(), qPrintable(QStringLiteral("Not translated:\n") + gaps.join(QLatin1Char('\n'))));
}

void TestFrenchTranslation::checkCatchesGaps_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("ts");
    QTest::addColumn<QStringList>("gaps");
    const QString header = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                          "<TS version=\"2.1\" language=\"fr_CA\">\n");
    const QString code =
        QStringLiteral("#include <QObject>\nclass MainWindow : public QObject { Q_OBJECT\n"
                       "void f() { tr(\"Exit\"); tr(\"Help\"); } };\n"
                       "class CypressChoiceDialog : public QObject { Q_OBJECT\nvoid g() { tr(\"GQZ3\"); } };\n");
    const QString cypress =
        QStringLiteral("<context><name>CypressChoiceDialog</name>"
                       "<message><source>GQZ3</source><translation>GQZ3</translation></message></context>");
    // The file with the window's messages as given, and the dialog's when asked.
    const auto ts = [&](const QString& windowMessages, bool withDialog) {
        return header + QStringLiteral("<context><name>MainWindow</name>") + windowMessages
               + QStringLiteral("</context>") + (withDialog ? cypress : QString()) + QStringLiteral("</TS>\n");
    };
    const QString exit = QStringLiteral("<message><source>Exit</source><translation>Quitter</translation></message>");
    const QString help = QStringLiteral("<message><source>Help</source><translation>Aide</translation></message>");
    QTest::newRow("complete") << code << ts(exit + help, true) << QStringList {};
    // Every dialog's texts are checked, a choice dialog's as much as the window's.
    QTest::newRow("dialog left out") << code << ts(exit + help, false) << QStringList { "CypressChoiceDialog: GQZ3" };
    QTest::newRow("missing entry") << code << ts(exit, true) << QStringList { "MainWindow: Help" };
    QTest::newRow("unfinished entry")
        << code
        << ts(exit
                  + QStringLiteral("<message><source>Help</source><translation type=\"unfinished\">Aide</translation>"
                                   "</message>"),
              true)
        << QStringList { "MainWindow: Help" };
    QTest::newRow("empty translation")
        << code
        << ts(QStringLiteral("<message><source>Exit</source><translation></translation></message>") + help, true)
        << QStringList { "MainWindow: Exit" };
}

void TestFrenchTranslation::checkCatchesGaps()
{
    QFETCH(QString, code);
    QFETCH(QString, ts);
    QFETCH(QStringList, gaps);
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("src")));
    QFile source(dir.filePath(QStringLiteral("src/window.cpp")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write(code.toUtf8());
    source.close();
    QFile tsFile(dir.filePath(QStringLiteral("fr.ts")));
    QVERIFY(tsFile.open(QIODevice::WriteOnly));
    tsFile.write(ts.toUtf8());
    tsFile.close();

    QString error;
    QCOMPARE(scan({ dir.filePath(QStringLiteral("src")) }, tsFile.fileName(), &error), gaps);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestFrenchTranslation)
#include "tst_frenchtranslation.moc"
