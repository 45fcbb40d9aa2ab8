#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/ButtonIdentifiers.h"
#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/CypressChoiceDialog.h"
#include "app/dialogs/SoftwareChoiceDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// One of the three choice dialogs behind a common face.
struct Choice
{
    std::unique_ptr<QDialog> dialog;
    std::function<int()> answer;
};

Choice makeChoice(const QString& kind)
{
    Choice c;
    if (kind == QLatin1String("device")) {
        auto* d = new ChoiceDialog;
        c.dialog.reset(d);
        c.answer = [d] { return d->buttonIdentifier(); };
    } else if (kind == QLatin1String("cypress")) {
        auto* d = new CypressChoiceDialog;
        c.dialog.reset(d);
        c.answer = [d] { return d->buttonIdentifier(); };
    } else {
        auto* d = new SoftwareChoiceDialog;
        c.dialog.reset(d);
        c.answer = [d] { return d->buttonIdentifier(); };
    }
    return c;
}

QPushButton* button(QDialog* dialog, const QString& name)
{
    return dialog->findChild<QPushButton*>(name);
}

// Runs the dialog modally and has `action` act on it once it is up.
void execWith(QDialog* dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, dialog, action);
    QTimer::singleShot(5000, dialog, [dialog] { dialog->done(-99); }); // safety net
    dialog->exec();
}

QStringList visibleButtons(QDialog* dialog)
{
    QStringList names;
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->isVisibleTo(dialog))
            names << b->objectName();
    names.sort();
    return names;
}

} // namespace

class TestChoiceDialogs : public QObject
{
    Q_OBJECT

private slots:
    void presetToCancel_data();
    void presetToCancel();
    void clickStoresAnswerAndCloses_data();
    void clickStoresAnswerAndCloses();
    void closingWithoutButtonAnswersCancel_data();
    void closingWithoutButtonAnswersCancel();
    void formLayout_data();
    void formLayout();
    void hideButton_data();
    void hideButton();
    void setButtonDisabled_data();
    void setButtonDisabled();

    void aboutIsFixedAndUntitledHelp();
    void aboutShowsFourLinesInOrder();
    void aboutMemoryLine_data();
    void aboutMemoryLine();
    void aboutCloseButtonCloses();
};

void TestChoiceDialogs::presetToCancel_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("cancel");
    QTest::newRow("device") << "device" << 5;
    QTest::newRow("cypress") << "cypress" << 3;
    QTest::newRow("software") << "software" << 2;
}

void TestChoiceDialogs::presetToCancel()
{
    QFETCH(QString, kind);
    QFETCH(int, cancel);
    Choice c = makeChoice(kind);
    QCOMPARE(c.answer(), cancel);
    QCOMPARE(c.dialog->windowTitle(), QStringLiteral("Update Selection"));
}

void TestChoiceDialogs::clickStoresAnswerAndCloses_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("expected");
    QTest::newRow("lightsource") << "device"
                                 << "pb_lightsource" << 0;
    QTest::newRow("kavor") << "device"
                           << "pb_kavor" << 1;
    QTest::newRow("electrophy") << "device"
                                << "pb_electrophy" << 2;
    QTest::newRow("photometry") << "device"
                                << "pb_photometry" << 3;
    QTest::newRow("microscope") << "device"
                                << "pb_microscope" << 4;
    QTest::newRow("device cancel") << "device"
                                   << "pb_cancel" << 5;
    QTest::newRow("gqz3") << "cypress"
                          << "pb_gqz3" << 0;
    QTest::newRow("gqz3 kavor") << "cypress"
                                << "pb_gqz3kavor" << 1;
    QTest::newRow("tv720") << "cypress"
                           << "pb_tv720" << 2;
    QTest::newRow("cypress cancel") << "cypress"
                                    << "pb_cancel" << 3;
    QTest::newRow("stable") << "software"
                            << "pb_stable" << 0;
    QTest::newRow("beta") << "software"
                          << "pb_beta" << 1;
    QTest::newRow("software cancel") << "software"
                                     << "pb_cancel" << 2;
}

void TestChoiceDialogs::clickStoresAnswerAndCloses()
{
    QFETCH(QString, kind);
    QFETCH(QString, buttonName);
    QFETCH(int, expected);
    Choice c = makeChoice(kind);
    QPushButton* b = button(c.dialog.get(), buttonName);
    QVERIFY(b);
    bool wasVisible = false;
    execWith(c.dialog.get(), [&] {
        wasVisible = c.dialog->isVisible();
        QTest::mouseClick(b, Qt::LeftButton);
    });
    QVERIFY(wasVisible);
    QVERIFY(!c.dialog->isVisible());
    QVERIFY(c.dialog->result() != -99);
    QCOMPARE(c.answer(), expected);
}

void TestChoiceDialogs::closingWithoutButtonAnswersCancel_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<int>("cancel");
    QTest::newRow("device close") << "device" << false << 5;
    QTest::newRow("device escape") << "device" << true << 5;
    QTest::newRow("cypress close") << "cypress" << false << 3;
    QTest::newRow("cypress escape") << "cypress" << true << 3;
    QTest::newRow("software close") << "software" << false << 2;
    QTest::newRow("software escape") << "software" << true << 2;
}

void TestChoiceDialogs::closingWithoutButtonAnswersCancel()
{
    QFETCH(QString, kind);
    QFETCH(bool, escape);
    QFETCH(int, cancel);
    Choice c = makeChoice(kind);
    QDialog* d = c.dialog.get();
    execWith(d, [d, escape] {
        if (escape)
            QTest::keyClick(d, Qt::Key_Escape);
        else
            d->close(); // what the title-bar button does
    });
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), int(QDialog::Rejected));
    QCOMPARE(c.answer(), cancel);
}

void TestChoiceDialogs::formLayout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("buttonsInOrder");
    QTest::newRow("device") << "device" << QSize(670, 108) << "Which device are you updating?"
                            << QStringList { "LightSource (1st Gen.)",
                                             "KAVOR (2nd Gen.)",
                                             "Electrophy.",
                                             "Photometry",
                                             "Microscope",
                                             "Cancel" };
    QTest::newRow("cypress") << "cypress" << QSize(510, 116) << "Which device are you updating?"
                             << QStringList { "GQZ3", "GQZ3 KAVOR", "TV720", "Cancel" };
    QTest::newRow("software") << "software" << QSize(484, 108) << "Which version do you want to install?"
                              << QStringList { "Stable Version", "Beta Version", "Cancel" };
}

void TestChoiceDialogs::formLayout()
{
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(QString, question);
    QFETCH(QStringList, buttonsInOrder);
    Choice c = makeChoice(kind);
    QDialog* d = c.dialog.get();
    QCOMPARE(d->size(), size);

    auto* label = d->findChild<QLabel*>(QStringLiteral("lb_dialog"));
    QVERIFY(label);
    QCOMPARE(label->text(), question);
    QVERIFY(label->font().bold());
    QCOMPARE(label->alignment(), Qt::AlignCenter);

    auto* row = d->findChild<QHBoxLayout*>(QStringLiteral("horizontalLayout"));
    QVERIFY(row);
    QStringList texts;
    for (int i = 0; i < row->count(); ++i)
        if (auto* b = qobject_cast<QPushButton*>(row->itemAt(i)->widget()))
            texts << b->text();
    QCOMPARE(texts, buttonsInOrder);
    QVERIFY(button(d, QStringLiteral("pb_cancel"))->isDefault());
}

void TestChoiceDialogs::hideButton_data()
{
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<QStringList>("visible");
    const QStringList all {
        "pb_cancel", "pb_electrophy", "pb_kavor", "pb_lightsource", "pb_microscope", "pb_photometry"
    };
    QTest::newRow("none") << QList<int> {} << all;
    QTest::newRow("electrophy and photometry")
        << QList<int> { 2, 3 } << QStringList { "pb_cancel", "pb_kavor", "pb_lightsource", "pb_microscope" };
    QTest::newRow("lightsource") << QList<int> { 0 }
                                 << QStringList { "pb_cancel", "pb_electrophy", "pb_kavor", "pb_microscope",
                                                  "pb_photometry" };
    QTest::newRow("cancel") << QList<int> { 5 }
                            << QStringList { "pb_electrophy", "pb_kavor", "pb_lightsource", "pb_microscope",
                                             "pb_photometry" };
    QTest::newRow("out of range") << QList<int> { 6, -1, 100 } << all;
}

void TestChoiceDialogs::hideButton()
{
    QFETCH(QList<int>, hidden);
    QFETCH(QStringList, visible);
    ChoiceDialog d;
    for (int value : hidden)
        d.hideButton(static_cast<nsFirmware::ButtonIdentifier>(value));
    QCOMPARE(visibleButtons(&d), visible);
    QCOMPARE(d.buttonIdentifier(), 5);
}

void TestChoiceDialogs::setButtonDisabled_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("stableEnabled");
    QTest::addColumn<bool>("betaEnabled");
    QTest::newRow("stable") << 0 << false << true;
    QTest::newRow("beta") << 1 << true << false;
    QTest::newRow("cancel ignored") << 2 << true << true;
    QTest::newRow("out of range") << 7 << true << true;
}

void TestChoiceDialogs::setButtonDisabled()
{
    QFETCH(int, value);
    QFETCH(bool, stableEnabled);
    QFETCH(bool, betaEnabled);
    SoftwareChoiceDialog d;
    d.setButtonDisabled(static_cast<nsFirmware::SoftwareButtonIdentifier>(value));
    QCOMPARE(button(&d, "pb_stable")->isEnabled(), stableEnabled);
    QCOMPARE(button(&d, "pb_beta")->isEnabled(), betaEnabled);
    QVERIFY(button(&d, "pb_cancel")->isEnabled());
    QVERIFY(visibleButtons(&d).size() == 3);
}

void TestChoiceDialogs::aboutIsFixedAndUntitledHelp()
{
    AboutDialog d;
    QCOMPARE(d.minimumSize(), QSize(722, 520));
    QCOMPARE(d.maximumSize(), QSize(722, 520));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.resize(900, 700);
    QCOMPARE(d.size(), QSize(722, 520));
    QVERIFY(!(d.windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(d.windowTitle(), QStringLiteral("About Movra Maintenance Tool"));

    auto* link = d.findChild<QLabel*>(QStringLiteral("label"));
    QVERIFY(link);
    QVERIFY(link->openExternalLinks());
    QVERIFY(link->text().contains(QStringLiteral("Movrane Website")));
    QVERIFY(link->text().contains(QStringLiteral("#007af4")));
    QCOMPARE(link->textInteractionFlags(),
             Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);

    auto* logo = d.findChild<QLabel*>(QStringLiteral("lb_logo"));
    QVERIFY(logo);
    QVERIFY(!logo->pixmap().isNull());
    QVERIFY(!logo->hasScaledContents());
    QVERIFY(logo->text().isEmpty());
}

void TestChoiceDialogs::aboutShowsFourLinesInOrder()
{
    AboutDialog d;
    auto* edit = d.findChild<QTextEdit*>(QStringLiteral("textEdit"));
    QVERIFY(edit);
    QVERIFY(edit->isReadOnly());
    QCOMPARE(edit->textInteractionFlags(), Qt::NoTextInteraction);

    QStringList lines = edit->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0), QStringLiteral("Software version : Movra Maintenance Tool v1.2.5.0"));
    QVERIFY2(lines.at(1).startsWith(QStringLiteral("System : ")), qPrintable(lines.at(1)));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(" running on CPU (%1)").arg(QSysInfo::currentCpuArchitecture())));
    QVERIFY(lines.at(1).contains(QStringLiteral(" version %1").arg(QSysInfo::kernelVersion())));
    QVERIFY(lines.at(1).at(9).isUpper());
    QVERIFY2(lines.at(2).startsWith(QStringLiteral("Memory (RAM) : ")), qPrintable(lines.at(2)));
    QVERIFY(lines.at(2).endsWith(QStringLiteral(" GB")));
    QCOMPARE(lines.at(3), QStringLiteral("Temporary directory : %1")
                              .arg(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)));
}

void TestChoiceDialogs::aboutMemoryLine_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("line");
    const quint64 gib = 1ull << 30;
    QTest::newRow("15.6 GiB") << quint64(15.6 * double(gib)) << "<b>Memory (RAM) :</b> 16 GB<br>";
    QTest::newRow("8 GiB") << 8 * gib << "<b>Memory (RAM) :</b> 8 GB<br>";
    QTest::newRow("7.5 GiB rounds up") << (15 * gib) / 2 << "<b>Memory (RAM) :</b> 8 GB<br>";
    QTest::newRow("7.49 GiB") << quint64(7.49 * double(gib)) << "<b>Memory (RAM) :</b> 7 GB<br>";
    QTest::newRow("1 TiB") << 1024 * gib << "<b>Memory (RAM) :</b> 1024 GB<br>";
    QTest::newRow("unknown") << quint64(0) << "<b>Memory (RAM) :</b> Unknown <br>";
}

void TestChoiceDialogs::aboutMemoryLine()
{
    QFETCH(quint64, bytes);
    QFETCH(QString, line);
    QCOMPARE(AboutDialog::memoryLine(bytes), line);
}

void TestChoiceDialogs::aboutCloseButtonCloses()
{
    AboutDialog d;
    auto* close = d.findChild<QPushButton*>(QStringLiteral("pb_close"));
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    bool wasVisible = false;
    execWith(&d, [&] {
        wasVisible = d.isVisible();
        QTest::mouseClick(close, Qt::LeftButton);
    });
    QVERIFY(wasVisible);
    QVERIFY(!d.isVisible());
    QVERIFY(d.result() != -99);
}

QTEST_MAIN(TestChoiceDialogs)
#include "tst_choicedialogs.moc"
