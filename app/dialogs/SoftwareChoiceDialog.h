#pragma once

#include "app/dialogs/ButtonIdentifiers.h"

#include <QDialog>

namespace Ui {
class SoftwareChoiceDialog;
}

// Asks whether the stable or the beta version of a program is installed.
class SoftwareChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SoftwareChoiceDialog(QWidget* parent = nullptr);
    ~SoftwareChoiceDialog() override;

    int buttonIdentifier() const;
    void setButtonDisabled(nsFirmware::SoftwareButtonIdentifier value);

private slots:
    void onStableClicked();
    void onBetaClicked();
    void onCancelClicked();

private:
    void answer(nsFirmware::SoftwareButtonIdentifier value);

    Ui::SoftwareChoiceDialog* ui;
    int buttonID;
};
