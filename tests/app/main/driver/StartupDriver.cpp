// Loaded into the program under test (LD_PRELOAD). It plays the user: it
// reports every message box and the main window on standard output, one
// tab-separated line each, answers the boxes, and closes the window when the
// test asks for it. Settings come from the environment:
//   MOVRA_DRIVER_QUIT_FILE   close the main window once this file exists
//   MOVRA_DRIVER_TRIGGER     object name of a main-window action to trigger once shown
//   MOVRA_DRIVER_SCREENSHOT  save a picture of the main window there once shown, and
//                            report where the window drew its tabs and device rows
//   MOVRA_DRIVER_MENU_SCREENSHOT  then one with the Help and Language menus open

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>

#include <cstdio>

namespace {

QString escaped(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}

void report(const QStringList& fields)
{
    QStringList parts;
    for (const QString& f : fields)
        parts << escaped(f);
    std::fprintf(stdout, "%s\n", parts.join(QLatin1Char('\t')).toUtf8().constData());
    std::fflush(stdout);
}

QString env(const char* name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

class Driver : public QObject
{
public:
    explicit Driver(QObject* parent)
        : QObject(parent)
    {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &Driver::poll);
        timer->start(50);
    }

private:
    void poll()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                answer(box);
                return;
            }
            if (auto* main = qobject_cast<QMainWindow*>(w))
                mainWindowShown(main);
        }
        if (m_window && !m_closing && !env("MOVRA_DRIVER_QUIT_FILE").isEmpty()
            && QFile::exists(env("MOVRA_DRIVER_QUIT_FILE"))) {
            m_closing = true;
            report({ QStringLiteral("CLOSING") });
            m_window->close();
        }
    }

    void answer(QMessageBox* box)
    {
        // A property, not a list of pointers: a later box may reuse the address.
        if (box->property("movraDriverAnswered").toBool())
            return;
        box->setProperty("movraDriverAnswered", true);
        report({ QStringLiteral("BOX"), QString::number(int(box->icon())), box->windowTitle(), box->text(),
                 box->informativeText() });
        // Yes to questions, otherwise the only (or default) button.
        QAbstractButton* choice = nullptr;
        for (QAbstractButton* b : box->buttons())
            if (box->buttonRole(b) == QMessageBox::AcceptRole || box->buttonRole(b) == QMessageBox::YesRole) {
                choice = b;
                break;
            }
        if (!choice)
            choice =
                box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton()) : box->buttons().value(0);
        QPointer<QMessageBox> guard(box);
        QTimer::singleShot(100, box, [guard, choice] {
            if (guard && choice)
                choice->click();
        });
    }

    void mainWindowShown(QMainWindow* window)
    {
        if (m_window)
            return;
        m_window = window;
        QStringList menuTexts;
        for (QAction* a : window->menuBar()->actions()) {
            menuTexts << a->text();
            if (QMenu* m = a->menu())
                for (QAction* item : m->actions()) {
                    if (!item->text().isEmpty())
                        menuTexts << item->text();
                    if (QMenu* sub = item->menu())
                        for (QAction* s : sub->actions())
                            if (!s->text().isEmpty())
                                menuTexts << s->text();
                }
        }
        const QFont font = QApplication::font();
        report({ QStringLiteral("WINDOW"), window->windowTitle(), QApplication::style()->name(),
                 qApp->styleSheet().isEmpty() ? QStringLiteral("no-sheet") : QStringLiteral("sheet"), font.family(),
                 QString::number(font.pointSize()), QString::number(int(font.weight())),
                 menuTexts.join(QLatin1Char('|')) });

        // The picture first, so that no box of the triggered action covers it.
        QTimer::singleShot(800, this, [this] {
            const QString screenshot = env("MOVRA_DRIVER_SCREENSHOT");
            if (!screenshot.isEmpty())
                takeScreenshot(screenshot);
            const QString menuScreenshot = env("MOVRA_DRIVER_MENU_SCREENSHOT");
            if (!menuScreenshot.isEmpty())
                takeMenuScreenshot(menuScreenshot);
            const QString trigger = env("MOVRA_DRIVER_TRIGGER");
            QAction* action = m_window && !trigger.isEmpty() ? m_window->findChild<QAction*>(trigger) : nullptr;
            if (action) {
                report({ QStringLiteral("TRIGGER"), trigger });
                action->trigger();
                report({ QStringLiteral("TRIGGERED"), trigger });
            }
        });
    }

    void takeScreenshot(const QString& path)
    {
        if (!m_window)
            return;
        QPixmap picture;
        if (QScreen* screen = m_window->screen())
            picture = screen->grabWindow(m_window->winId());
        if (picture.isNull())
            picture = m_window->grab();
        reportLayout(picture);
        report({ QStringLiteral("SCREENSHOT"), path,
                 picture.save(path) ? QStringLiteral("saved") : QStringLiteral("failed") });
    }

    static QString rectText(const QRect& r)
    {
        return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    // Where the window says it drew what the picture should show, in the
    // window's coordinates: its size, the tabs, and the device tree's rows
    // that are wholly in view, with the x where the status column starts.
    void reportLayout(const QPixmap& picture)
    {
        report(
            { QStringLiteral("SHOT_WINDOW"), rectText(m_window->rect()), QString::number(picture.devicePixelRatio()) });
        if (auto* tabs = m_window->findChild<QTabWidget*>()) {
            QTabBar* bar = tabs->tabBar();
            for (int i = 0; i < bar->count(); ++i) {
                const QRect r = bar->tabRect(i);
                report({ QStringLiteral("SHOT_TAB"), bar->tabText(i),
                         rectText(QRect(bar->mapTo(m_window, r.topLeft()), r.size())),
                         i == bar->currentIndex() ? QStringLiteral("current") : QString() });
            }
        }
        auto* tree = m_window->findChild<QTreeWidget*>(QStringLiteral("treeWidget_device"));
        if (!tree || !tree->isVisible())
            return;
        QWidget* viewport = tree->viewport();
        const int statusX = viewport->mapTo(m_window, QPoint(tree->header()->sectionViewportPosition(1), 0)).x();
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            const QRect r = tree->visualItemRect(*it);
            if ((*it)->isHidden() || !r.isValid() || !viewport->rect().contains(r))
                continue;
            report({ QStringLiteral("SHOT_ROW"), (*it)->text(0),
                     rectText(QRect(viewport->mapTo(m_window, r.topLeft()), r.size())), QString::number(statusX),
                     *it == tree->currentItem() ? QStringLiteral("current") : QString() });
        }
    }

    void takeMenuScreenshot(const QString& path)
    {
        auto* help = m_window ? m_window->findChild<QMenu*>(QStringLiteral("menuHelp")) : nullptr;
        auto* language = m_window ? m_window->findChild<QMenu*>(QStringLiteral("menuLanguage")) : nullptr;
        if (!help || !language)
            return;
        const QPoint origin = m_window->mapToGlobal(QPoint(0, m_window->menuBar()->height()));
        help->popup(origin + QPoint(m_window->menuBar()->actionGeometry(help->menuAction()).x(), 0));
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
        const QRect languageItem = help->actionGeometry(language->menuAction());
        language->popup(help->mapToGlobal(QPoint(help->width(), languageItem.y())));
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        QPixmap picture;
        if (QScreen* screen = m_window->screen()) {
            const QRect area = m_window->frameGeometry().united(language->geometry()).united(help->geometry());
            picture = screen->grabWindow(0, area.x(), area.y(), area.width(), qMin(area.height(), 400));
        }
        language->close();
        help->close();
        report({ QStringLiteral("MENU_SCREENSHOT"), path,
                 !picture.isNull() && picture.save(path) ? QStringLiteral("saved") : QStringLiteral("failed") });
    }

    QPointer<QMainWindow> m_window;
    bool m_closing = false;
};

void installDriver()
{
    // Only the program itself is driven, not what it starts (the sanitizers'
    // symbolizer, for one).
    qunsetenv("LD_PRELOAD");
    new Driver(QCoreApplication::instance());
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installDriver)
