#pragma once

#include <QDialog>

namespace Ui {
class CypressChoiceDialog;
}

// Asks which FX3-based device an FX3 image is for.
class CypressChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    enum class CypressButtonIdentifier : int {
        GQZ3Button = 0,
        GQZ3KAVORButton = 1,
        TV720Button = 2,
        CancelButton = 3
    };

    explicit CypressChoiceDialog(QWidget* parent = nullptr);
    ~CypressChoiceDialog() override;

    int buttonIdentifier() const;

private slots:
    void onGQZ3Clicked();
    void onGQZ3KAVORClicked();
    void onTV720Clicked();
    void onCancelClicked();

private:
    void answer(CypressButtonIdentifier value);

    Ui::CypressChoiceDialog* ui;
    int buttonID;
};
