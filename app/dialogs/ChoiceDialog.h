#pragma once

#include "app/dialogs/ButtonIdentifiers.h"

#include <QDialog>

namespace Ui {
class ChoiceDialog;
}

// Asks which device family a console or light-source firmware is for.
class ChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChoiceDialog(QWidget* parent = nullptr);
    ~ChoiceDialog() override;

    int buttonIdentifier() const;
    void hideButton(nsFirmware::ButtonIdentifier value);

private slots:
    void onLightsourceClicked();
    void onKAVORClicked();
    void onElectrophyClicked();
    void onPhotometryClicked();
    void onMicroscopeClicked();
    void onCancelClicked();

private:
    void answer(nsFirmware::ButtonIdentifier value);

    Ui::ChoiceDialog* ui;
    int buttonID;
};
