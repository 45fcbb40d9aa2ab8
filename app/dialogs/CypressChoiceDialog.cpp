#include "app/dialogs/CypressChoiceDialog.h"
#include "ui_CypressChoiceDialog.h"

#include <QPushButton>

CypressChoiceDialog::CypressChoiceDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::CypressChoiceDialog)
    , buttonID(int(CypressButtonIdentifier::CancelButton))
{
    ui->setupUi(this);
    setWindowTitle(QStringLiteral("Update Selection"));

    connect(ui->pb_gqz3, &QPushButton::clicked, this, &CypressChoiceDialog::onGQZ3Clicked);
    connect(ui->pb_gqz3kavor, &QPushButton::clicked, this, &CypressChoiceDialog::onGQZ3KAVORClicked);
    connect(ui->pb_tv720, &QPushButton::clicked, this, &CypressChoiceDialog::onTV720Clicked);
    connect(ui->pb_cancel, &QPushButton::clicked, this, &CypressChoiceDialog::onCancelClicked);
}

CypressChoiceDialog::~CypressChoiceDialog()
{
    delete ui;
}

int CypressChoiceDialog::buttonIdentifier() const
{
    return buttonID;
}

void CypressChoiceDialog::onGQZ3Clicked()
{
    answer(CypressButtonIdentifier::GQZ3Button);
}
void CypressChoiceDialog::onGQZ3KAVORClicked()
{
    answer(CypressButtonIdentifier::GQZ3KAVORButton);
}
void CypressChoiceDialog::onTV720Clicked()
{
    answer(CypressButtonIdentifier::TV720Button);
}
void CypressChoiceDialog::onCancelClicked()
{
    answer(CypressButtonIdentifier::CancelButton);
}

void CypressChoiceDialog::answer(CypressButtonIdentifier value)
{
    buttonID = int(value);
    close();
}
