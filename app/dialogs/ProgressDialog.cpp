#include "app/dialogs/ProgressDialog.h"
#include "ui_ProgressDialog.h"

#include "firmware/core/ProgressMessages.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ProgressDialog)
{
    ui->setupUi(this);
    // Without the customize hint the platform adds a close button and a system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    scrollDetailsToBottom();
    resize(width(), height() + ui->textBrowser->maximumHeight());

    connect(ui->tb_details, &QToolButton::toggled, this, &ProgressDialog::onDetailsClicked);
    connect(ui->pb_forceExit, &QPushButton::clicked, this, &ProgressDialog::onForceExitClicked);
}

ProgressDialog::~ProgressDialog()
{
    delete ui;
}

void ProgressDialog::appendDetailsInformation(const QString& text)
{
    ui->textBrowser->append(text);
    scrollDetailsToBottom();
}

void ProgressDialog::clearDetailsInformation()
{
    ui->textBrowser->clear();
}

void ProgressDialog::modifyLastDetailsInformation(const QString& text)
{
    const QTextCursor saved = ui->textBrowser->textCursor();

    // Whole paragraph, not the visual line: a long line that wraps in the
    // narrow dialog must still be replaced as one.
    QTextCursor cursor(ui->textBrowser->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.deletePreviousChar();

    ui->textBrowser->setTextCursor(saved);
    ui->textBrowser->append(text);
    scrollDetailsToBottom();
}

void ProgressDialog::setUpdatingText(const QString& text)
{
    ui->lb_updating->setText(text);
}

void ProgressDialog::setProgressMaximum(int maximum)
{
    ui->progressBar->setMaximum(maximum);
}

void ProgressDialog::setProgressValue(int value)
{
    ui->progressBar->setValue(value);
}

void ProgressDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape would reject the dialog behind the updater's back and leave the
    // main window's close lock on; the operation ends by itself or by Force Exit.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProgressDialog::closeEvent(QCloseEvent* event)
{
    // The window manager's close (Alt+F4, its close message) is refused for
    // the reason Escape is; the updater's own close is not spontaneous.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgressDialog::onDetailsClicked(bool toggled)
{
    const int detailsHeight = ui->textBrowser->maximumHeight();
    // The shared texts as stored, English: "Details <<" hides, "Details >>" shows.
    if (toggled) {
        ui->tb_details->setText(ProgressMessages::DetailsHide);
        ui->textBrowser->show();
        resize(width(), height() + detailsHeight);
    } else {
        ui->tb_details->setText(ProgressMessages::DetailsShow);
        ui->textBrowser->hide();
        // The layout's minimum still counts the details until it is redone.
        layout()->activate();
        resize(width(), height() - detailsHeight);
    }
}

void ProgressDialog::onForceExitClicked(bool checked)
{
    Q_UNUSED(checked)
    emit sendForcedExit();
    close();
}

void ProgressDialog::scrollDetailsToBottom()
{
    QScrollBar* bar = ui->textBrowser->verticalScrollBar();
    bar->setValue(bar->maximum());
}
