#include "app/dialogs/SoftwareChoiceDialog.h"
#include "ui_SoftwareChoiceDialog.h"

#include <QPushButton>

using nsFirmware::SoftwareButtonIdentifier;

SoftwareChoiceDialog::SoftwareChoiceDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SoftwareChoiceDialog)
    , buttonID(int(SoftwareButtonIdentifier::CancelButton))
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Update Selection"));

    connect(ui->pb_stable, &QPushButton::clicked, this, &SoftwareChoiceDialog::onStableClicked);
    connect(ui->pb_beta, &QPushButton::clicked, this, &SoftwareChoiceDialog::onBetaClicked);
    connect(ui->pb_cancel, &QPushButton::clicked, this, &SoftwareChoiceDialog::onCancelClicked);
}

SoftwareChoiceDialog::~SoftwareChoiceDialog()
{
    delete ui;
}

int SoftwareChoiceDialog::buttonIdentifier() const
{
    return buttonID;
}

void SoftwareChoiceDialog::setButtonDisabled(SoftwareButtonIdentifier value)
{
    if (value == SoftwareButtonIdentifier::StableButton)
        ui->pb_stable->setEnabled(false);
    else if (value == SoftwareButtonIdentifier::BetaButton)
        ui->pb_beta->setEnabled(false);
}

void SoftwareChoiceDialog::onStableClicked()
{
    answer(SoftwareButtonIdentifier::StableButton);
}
void SoftwareChoiceDialog::onBetaClicked()
{
    answer(SoftwareButtonIdentifier::BetaButton);
}
void SoftwareChoiceDialog::onCancelClicked()
{
    answer(SoftwareButtonIdentifier::CancelButton);
}

void SoftwareChoiceDialog::answer(SoftwareButtonIdentifier value)
{
    buttonID = int(value);
    close();
}
