#include "app/updater/ProgressCoalescer.h"

#include "app/dialogs/ProgressDialog.h"

ProgressCoalescer::ProgressCoalescer(ProgressDialog* dialog, QObject* parent)
    : QObject(parent)
    , m_dialog(dialog)
{
    m_interval.setSingleShot(true);
    m_interval.setInterval(IntervalMs);
    connect(&m_interval, &QTimer::timeout, this, &ProgressCoalescer::onInterval);
}

void ProgressCoalescer::setLastLine(const QString& text)
{
    m_line = text;
    if (!m_interval.isActive())
        apply();
}

void ProgressCoalescer::setBar(const QString& headline, int maximum, int value)
{
    const bool newHeadline = headline != (m_bar ? m_bar->headline : m_headline);
    m_bar = Bar { headline, maximum, value };
    if (newHeadline || !m_interval.isActive())
        apply();
}

void ProgressCoalescer::flush()
{
    if (m_line || m_bar)
        apply();
}

void ProgressCoalescer::discard()
{
    m_line.reset();
    m_bar.reset();
    m_headline.clear();
    m_interval.stop();
}

void ProgressCoalescer::onInterval()
{
    // Quiet for a whole interval: the next change goes at once again.
    if (m_line || m_bar)
        apply();
}

void ProgressCoalescer::apply()
{
    if (m_line) {
        m_dialog->modifyLastDetailsInformation(*m_line);
        m_line.reset();
    }
    if (m_bar) {
        m_dialog->setUpdatingText(m_bar->headline);
        m_headline = m_bar->headline;
        m_dialog->setProgressMaximum(m_bar->maximum);
        m_dialog->setProgressValue(m_bar->value);
        m_bar.reset();
    }
    m_interval.start();
}
