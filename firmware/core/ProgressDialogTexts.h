#pragma once

#include <QCoreApplication>

// The translation context of the progress texts and the shared device texts:
// its name stays, as the translations are keyed by it.
class ProgressDialogTexts
{
    Q_DECLARE_TR_FUNCTIONS(ProgressDialog)
};
