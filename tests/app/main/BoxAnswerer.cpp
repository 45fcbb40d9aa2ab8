#include "tests/app/main/BoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

BoxAnswerer::BoxAnswerer(QStringList answers)
    : m_answers(std::move(answers))
{
    connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::poll);
    m_timer.start(10);
}

void BoxAnswerer::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box->property("answered").toBool())
        return;
    box->setProperty("answered", true);
    Box seen { int(box->icon()), box->windowTitle(), box->text(), box->informativeText(), {} };
    for (QAbstractButton* b : box->buttons())
        seen.buttons << b->text();
    m_boxes << seen;

    const QString answer = m_answers.isEmpty() ? QStringLiteral("<close>") : m_answers.takeFirst();
    if (answer == QLatin1String("<close>")) {
        box->close();
        return;
    }
    for (QAbstractButton* b : box->buttons())
        if (b->text() == answer) {
            b->click();
            return;
        }
    box->close();
}
