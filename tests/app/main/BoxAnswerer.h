#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the modal message boxes that code under test runs with exec():
// each box is recorded, then answered with the next scripted answer (the
// text of a button to click, or "<close>" to close the box).
class BoxAnswerer : public QObject
{
public:
    struct Box
    {
        int icon;
        QString title;
        QString text;
        QString informativeText;
        QStringList buttons;
    };

    explicit BoxAnswerer(QStringList answers);
    QList<Box> boxes() const { return m_boxes; }

private:
    void poll();

    QStringList m_answers;
    QList<Box> m_boxes;
    QTimer m_timer;
};
