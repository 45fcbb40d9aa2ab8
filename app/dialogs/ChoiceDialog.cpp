#include "app/dialogs/ChoiceDialog.h"
#include "ui_ChoiceDialog.h"

#include <QPushButton>

using nsFirmware::ButtonIdentifier;

ChoiceDialog::ChoiceDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ChoiceDialog)
    , buttonID(int(ButtonIdentifier::CancelButton))
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Update Selection"));

    connect(ui->pb_lightsource, &QPushButton::clicked, this, &ChoiceDialog::onLightsourceClicked);
    connect(ui->pb_kavor, &QPushButton::clicked, this, &ChoiceDialog::onKAVORClicked);
    connect(ui->pb_electrophy, &QPushButton::clicked, this, &ChoiceDialog::onElectrophyClicked);
    connect(ui->pb_photometry, &QPushButton::clicked, this, &ChoiceDialog::onPhotometryClicked);
    connect(ui->pb_microscope, &QPushButton::clicked, this, &ChoiceDialog::onMicroscopeClicked);
    connect(ui->pb_cancel, &QPushButton::clicked, this, &ChoiceDialog::onCancelClicked);
}

ChoiceDialog::~ChoiceDialog()
{
    delete ui;
}

int ChoiceDialog::buttonIdentifier() const
{
    return buttonID;
}

void ChoiceDialog::hideButton(ButtonIdentifier value)
{
    QPushButton* button = nullptr;
    switch (value) {
    case ButtonIdentifier::LightSourceButton: button = ui->pb_lightsource; break;
    case ButtonIdentifier::KAVORButton: button = ui->pb_kavor; break;
    case ButtonIdentifier::ElectrophyButton: button = ui->pb_electrophy; break;
    case ButtonIdentifier::PhotometryButton: button = ui->pb_photometry; break;
    case ButtonIdentifier::MicroscopeButton: button = ui->pb_microscope; break;
    case ButtonIdentifier::CancelButton: button = ui->pb_cancel; break;
    }
    if (button)
        button->hide();
}

void ChoiceDialog::onLightsourceClicked()
{
    answer(ButtonIdentifier::LightSourceButton);
}
void ChoiceDialog::onKAVORClicked()
{
    answer(ButtonIdentifier::KAVORButton);
}
void ChoiceDialog::onElectrophyClicked()
{
    answer(ButtonIdentifier::ElectrophyButton);
}
void ChoiceDialog::onPhotometryClicked()
{
    answer(ButtonIdentifier::PhotometryButton);
}
void ChoiceDialog::onMicroscopeClicked()
{
    answer(ButtonIdentifier::MicroscopeButton);
}
void ChoiceDialog::onCancelClicked()
{
    answer(ButtonIdentifier::CancelButton);
}

void ChoiceDialog::answer(ButtonIdentifier value)
{
    buttonID = int(value);
    close();
}
