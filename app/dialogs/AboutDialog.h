#pragma once

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// The program's name and version, the maker's web site and a few facts
// about the computer.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

    // The memory line for a total of physical memory in bytes; 0 means unknown.
    static QString memoryLine(quint64 physicalMemoryBytes);

private slots:
    void onCloseClicked(bool checked = false);

private:
    void fillSystemInformation();

    Ui::AboutDialog* ui;
};
