#pragma once

#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/CypressChoiceDialog.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/SignalWait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

// The headlines of the boxes that end an update, as the user reads them.
inline const QString CompletedText = QStringLiteral("<b>Update completed successfully!</b>");
inline const QString FailedText = QStringLiteral("<b>A problem occured while updating the firmware.</b>");
// Where the local catalogue server keeps the firmware files.
inline const QString ServedFolder = QStringLiteral("downloads/firmwares/");

// What the widget tests share: the widget's form by object name, the
// progress dialog, a widget without transports, and a user who answers
// the modal dialogs the widget opens.

inline ProgressDialog* progressDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<ProgressDialog*>(widget))
            return dialog;
    }
    return nullptr;
}

// No transport at all: these tests drive the widget's slots themselves.
inline QSharedPointer<CommunicatorFactory> noTransports()
{
    return FakeMachine::withoutTransports();
}

// The widget's form, found by object name.
struct Form
{
    explicit Form(VEKUpdaterWidget* widget)
        : tree(widget->findChild<QTreeWidget*>(QStringLiteral("treeWidget_device")))
        , check(widget->findChild<QPushButton*>(QStringLiteral("pb_checkUpdateDevice")))
        , update(widget->findChild<QPushButton*>(QStringLiteral("pb_updateDevice")))
        , manual(widget->findChild<QPushButton*>(QStringLiteral("pb_updateDeviceManually")))
        , status(widget->findChild<QLabel*>(QStringLiteral("lb_infoUpdateDevice")))
        , boot(widget->findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceBoot")))
        , motherboard(widget->findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceMB")))
        , channel(widget->findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceChannel")))
        , description(widget->findChild<QTextBrowser*>(QStringLiteral("textBrowser_deviceDesc")))
    {
    }

    QTreeWidgetItem* typeRow(int type) const
    {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->data(0, Qt::UserRole).toInt() == type)
                return tree->topLevelItem(i);
        }
        return nullptr;
    }

    // "B", "M", "C" for each version pane shown.
    QString visiblePanes() const
    {
        QString panes;
        if (!boot->isHidden())
            panes += QLatin1Char('B');
        if (!motherboard->isHidden())
            panes += QLatin1Char('M');
        if (!channel->isHidden())
            panes += QLatin1Char('C');
        return panes;
    }

    QTreeWidget* tree;
    QPushButton* check;
    QPushButton* update;
    QPushButton* manual;
    QLabel* status;
    QTextBrowser* boot;
    QTextBrowser* motherboard;
    QTextBrowser* channel;
    QTextBrowser* description;
};

// Pages the program opens with QDesktopServices land here, not in a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl& url) { opened.append(url); }
};

// Answers each modal dialog in turn, as a user would: a button by its text
// (ampersands ignored), "file:PATH" chooses a file in a file dialog, and
// "reject" closes any dialog. A dialog with no answer left is rejected.
class DialogAnswerer : public QObject
{
public:
    struct Seen
    {
        QString kind; // "box", "choice", "cypress", "file"
        QString title;
        QString text;
        QString informative;
        QStringList buttons; // visible ones
        QStringList nameFilters;
        QString directory;
        QString answer;
    };

    explicit DialogAnswerer(const QStringList& answers, QObject* parent = nullptr)
        : QObject(parent)
        , m_answers(answers)
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::tick);
        m_timer.start(10);
    }

    QList<Seen> seen;
    // Called with each dialog before it is answered.
    std::function<void(const Seen&)> onShown;
    // Called once a dialog is written down in seen.
    std::function<void()> afterSeen;

    QStringList remaining() const { return m_answers; }

private:
    static QString plain(QString text) { return text.remove(QLatin1Char('&')); }

    void tick()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_answered)
            return;
        m_answered = modal;
        Seen s;
        s.title = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            s.kind = QStringLiteral("box");
            s.text = box->text();
            s.informative = box->informativeText();
        } else if (qobject_cast<ChoiceDialog*>(modal)) {
            s.kind = QStringLiteral("choice");
        } else if (qobject_cast<CypressChoiceDialog*>(modal)) {
            s.kind = QStringLiteral("cypress");
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            s.kind = QStringLiteral("file");
            s.nameFilters = files->nameFilters();
            s.directory = files->directory().absolutePath();
        }
        const QList<QAbstractButton*> buttons = modal->findChildren<QAbstractButton*>();
        for (QAbstractButton* button : buttons) {
            if (button->isVisibleTo(modal) && !button->text().isEmpty())
                s.buttons.append(plain(button->text()));
        }
        s.answer = m_answers.isEmpty() ? QStringLiteral("reject") : m_answers.takeFirst();
        if (onShown)
            onShown(s);
        seen.append(s);
        if (afterSeen)
            afterSeen();
        const QString answer = s.answer;
        QTimer::singleShot(0, modal, [modal, answer] { answerDialog(modal, answer); });
    }

    static void answerDialog(QWidget* modal, const QString& answer)
    {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (answer.startsWith(QLatin1String("file:"))) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            if (files) {
                files->selectFile(answer.mid(5));
                // Typed in, as a user would: a name the filters hide is taken too.
                const QFileInfo chosen(answer.mid(5));
                files->setDirectory(chosen.absolutePath());
                if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(chosen.fileName());
                static_cast<QDialog*>(files)->accept();
                return;
            }
        }
        if (answer != QLatin1String("reject")) {
            for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
                if (button->isVisibleTo(modal) && plain(button->text()) == answer) {
                    button->click();
                    return;
                }
            }
        }
        if (dialog)
            dialog->reject();
    }

    QStringList m_answers;
    QPointer<QWidget> m_answered;
    QTimer m_timer;
};

// Waits, on the dialogs the user answers, until the last one seen is a box
// with one of the given texts.
inline bool waitForBox(DialogAnswerer& user, const QStringList& texts, int timeoutMs)
{
    SignalWait wait([&] { return !user.seen.isEmpty() && texts.contains(user.seen.last().text); });
    user.afterSeen = [&] { wait.ask(); };
    const bool seen = wait.wait(timeoutMs);
    user.afterSeen = nullptr;
    return seen;
}

// Waits until the button is enabled.
inline bool waitUntilEnabled(QWidget* widget, int timeoutMs)
{
    return SignalWait([widget] { return widget->isEnabled(); }).onEvent(widget, QEvent::EnabledChange).wait(timeoutMs);
}

// Waits until the type's row in the device tree holds the given number of
// devices.
inline bool waitForDevices(Form& form, QTreeWidgetItem* typeRow, int count, int timeoutMs)
{
    return SignalWait([typeRow, count] { return typeRow->childCount() == count; })
        .on(form.tree->model(), &QAbstractItemModel::rowsInserted)
        .on(form.tree->model(), &QAbstractItemModel::rowsRemoved)
        .wait(timeoutMs);
}
