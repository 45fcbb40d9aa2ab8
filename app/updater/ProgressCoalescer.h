#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class ProgressDialog;

// The progress line and bar of a firmware update, applied to the dialog at
// most every IntervalMs: each acknowledgement reports progress, and a repaint
// per report would sit between the acknowledgement and the next packet. The
// first change after a quiet spell goes at once, the last one always shows,
// and a new headline is never held back.
class ProgressCoalescer : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 40;

    explicit ProgressCoalescer(ProgressDialog* dialog, QObject* parent = nullptr);

    // Replaces the last line of the details.
    void setLastLine(const QString& text);
    void setBar(const QString& headline, int maximum, int value);
    // Applies what is held back now: before a line is appended, so that the
    // held line replaces the line it was meant for.
    void flush();
    // Forgets what is held back: the dialog is being emptied or reused.
    void discard();

private:
    struct Bar
    {
        QString headline;
        int maximum = 0;
        int value = 0;
    };

    void onInterval();
    void apply();

    ProgressDialog* m_dialog;
    QTimer m_interval;
    std::optional<QString> m_line;
    std::optional<Bar> m_bar;
    QString m_headline;
};
