#pragma once

#include <QDialog>

namespace Ui {
class ProgressDialog;
}

// Shows a running firmware update or download: headline, progress bar,
// collapsible detail lines and a "Force Exit" button.
class ProgressDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ProgressDialog(QWidget* parent = nullptr);
    ~ProgressDialog() override;

    void appendDetailsInformation(const QString& text);
    void clearDetailsInformation();
    void modifyLastDetailsInformation(const QString& text);
    void setUpdatingText(const QString& text);
    void setProgressMaximum(int maximum);
    void setProgressValue(int value);

signals:
    void sendForcedExit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onDetailsClicked(bool toggled);
    void onForceExitClicked(bool checked = false);

private:
    void scrollDetailsToBottom();

    Ui::ProgressDialog* ui;
};
