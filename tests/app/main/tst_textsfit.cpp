// Every text of the French window and of its three tabs fits the widget
// that shows it at the form's fixed width, measured with that widget's own
// font metrics, in the program's font and style sheet: a translation that is
// too long for a button, a label, a tab or a version pane fails here. (The
// English texts are the form's own; with the fallback font of a machine
// without Lato, "Check for server updates" lacks 2 px.)
#include "app/main/ApplicationStyle.h"
#include "app/main/LanguageSettings.h"
#include "app/main/MainWindow.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

namespace {

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// The width the text needs in the widget's font.
int textWidth(const QWidget* widget, const QString& text, Qt::TextFormat format = Qt::PlainText)
{
    if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setDefaultFont(widget->font());
        document.setDocumentMargin(0);
        document.setHtml(text);
        return qCeil(document.idealWidth());
    }
    return widget->fontMetrics().horizontalAdvance(plain(text));
}

// Where the style draws a push button's label.
int buttonTextRoom(const QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.features = QStyleOptionButton::None;
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    int room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    if (!button->icon().isNull())
        room -= button->iconSize().width() + 4;
    return room;
}

int labelTextRoom(const QLabel* label)
{
    return label->contentsRect().width() - 2 * label->margin() - qMax(label->indent(), 0);
}

QString describe(const QWidget* widget, const QString& text, int needed, int room)
{
    return QStringLiteral("%1 \"%2\": needs %3 px, has %4").arg(widget->objectName(), text).arg(needed).arg(room);
}

// A pane whose height the form limits must show its document without
// wrapping a line and without scrolling.
QStringList paneClippings(QTextBrowser* pane)
{
    QStringList found;
    QTextDocument* document = pane->document();
    document->documentLayout()->documentSize();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.layout() && block.layout()->lineCount() > 1)
            found << QStringLiteral("%1: \"%2\" wraps").arg(pane->objectName(), block.text());
    }
    const int height = qCeil(document->size().height());
    if (height > pane->viewport()->height())
        found << QStringLiteral("%1: document %2 px high, pane %3")
                     .arg(pane->objectName())
                     .arg(height)
                     .arg(pane->viewport()->height());
    return found;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

} // namespace

class TestTextsFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFrenchTextFits();
    void measureCatchesClipping();

private:
    static QStringList clippings(QWidget* page);

    WidgetTestEnvironment m_environment;
};

void TestTextsFit::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Movrane Inc."));
    QCoreApplication::setApplicationName(QStringLiteral("Movra Maintenance Tool"));
    QVERIFY(m_environment.setUp(WidgetTestEnvironment::IconColours::Program));
    // As start-up makes them: the application font and the dark style sheet.
    QApplication::setFont(QFont(QStringLiteral("Lato"), 8, QFont::Normal, false));
    nsUpdater::applyApplicationStyle(*qApp);
}

QStringList TestTextsFit::clippings(QWidget* page)
{
    QStringList found;
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        if (!button->isVisible())
            continue;
        const int needed = textWidth(button, button->text());
        const int room = buttonTextRoom(button);
        if (needed > room)
            found << describe(button, button->text(), needed, room);
    }
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->wordWrap() || label->text().isEmpty())
            continue;
        const int needed = textWidth(label, label->text(), label->textFormat());
        const int room = labelTextRoom(label);
        if (needed > room)
            found << describe(label, label->text(), needed, room);
    }
    for (QTextBrowser* pane : page->findChildren<QTextBrowser*>()) {
        if (pane->isVisible() && pane->maximumHeight() < QWIDGETSIZE_MAX)
            found << paneClippings(pane);
    }
    return found;
}

void TestTextsFit::everyFrenchTextFits()
{
    QSettings().setValue(nsUpdater::LanguageKey, nsUpdater::LanguageFrench);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.width(), 590);
    auto* tabs = window.findChild<VEKUpdaterWidget*>();
    QVERIFY(tabs);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Appareils"));
    QStringList found;

    const QFontMetrics menuMetrics = window.menuBar()->fontMetrics();
    for (QAction* action : window.menuBar()->actions()) {
        const int needed = menuMetrics.horizontalAdvance(plain(action->text()));
        const int room = window.menuBar()->actionGeometry(action).width();
        if (needed > room)
            found << describe(window.menuBar(), action->text(), needed, room);
    }
    QTabBar* bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        const int needed = bar->fontMetrics().horizontalAdvance(plain(bar->tabText(i)));
        if (needed > bar->tabRect(i).width())
            found << describe(bar, bar->tabText(i), needed, bar->tabRect(i).width());
    }

    // The status line of each tab in each of its texts, with every version
    // pane shown, as a selected device shows them.
    const QStringList statuses { QString(),
                                 QCoreApplication::translate("VEKUpdaterWidget", "Update(s) not checked yet"),
                                 QCoreApplication::translate("VEKUpdaterWidget", "New version(s) available"),
                                 QCoreApplication::translate("VEKUpdaterWidget", "Already up-to-date") };
    for (const QString& status : statuses) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QWidget* page = tabs->widget(i);
            for (QLabel* label : page->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lb_infoUpdate")))) {
                if (!status.isEmpty())
                    label->setText(status);
                label->show();
            }
            for (QTextBrowser* pane : page->findChildren<QTextBrowser*>())
                pane->show();
            settle();
            found << clippings(page);
        }
    }
    found.removeDuplicates();
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

// The measure sees a text that its button or label cuts, and a pane that
// wraps or overflows.
void TestTextsFit::measureCatchesClipping()
{
    QWidget page;
    page.resize(200, 200);
    auto* button = new QPushButton(QStringLiteral("A text far too long for the narrow button it sits on"), &page);
    button->setObjectName(QStringLiteral("pb_narrow"));
    button->setGeometry(0, 0, 80, 30);
    auto* label = new QLabel(QStringLiteral("A label far too long for its place"), &page);
    label->setObjectName(QStringLiteral("lb_narrow"));
    label->setGeometry(0, 40, 60, 20);
    auto* pane = new QTextBrowser(&page);
    pane->setObjectName(QStringLiteral("textBrowser_narrow"));
    pane->setMaximumHeight(40);
    pane->setGeometry(0, 70, 90, 40);
    pane->setHtml(QStringLiteral("<p><b>A caption that wraps</b></p><p>one</p><p>two</p>"));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    settle();

    const QString found = clippings(&page).join(QLatin1Char('\n'));
    QVERIFY2(found.contains(QStringLiteral("pb_narrow")), qPrintable(found));
    QVERIFY2(found.contains(QStringLiteral("lb_narrow")), qPrintable(found));
    QVERIFY2(found.contains(QStringLiteral("textBrowser_narrow: \"A caption that wraps\" wraps")), qPrintable(found));
    QVERIFY2(found.contains(QStringLiteral("px high")), qPrintable(found));

    button->setGeometry(0, 0, 190, 30);
    button->setText(QStringLiteral("Fits"));
    label->setGeometry(0, 40, 190, 20);
    label->setText(QStringLiteral("Fits"));
    pane->setMaximumHeight(QWIDGETSIZE_MAX);
    settle();
    QCOMPARE(clippings(&page), QStringList());
}

QTEST_MAIN(TestTextsFit)
#include "tst_textsfit.moc"
