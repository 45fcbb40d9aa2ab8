#pragma once

namespace Ui {
class UpdaterWidget;
}

// The rich-text documents the updater widget's panes start with: a bold caption and lines with place-markers (%1, %2, %3) that the
// widget fills later. They are built here rather than in the form
// (UpdaterWidgetUi.ui) so that only their captions and words are translated,
// in the form's context "UpdaterWidget".
void setInitialPaneDocuments(Ui::UpdaterWidget& form);
