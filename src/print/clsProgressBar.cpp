#include "clsProgressBar.h"

#include "frmShowRate.h"
#include "progresstext.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

clsProgressBar::~clsProgressBar()
{
    Finish();
}

void clsProgressBar::setTitle(const QString& title)
{
    m_title = title;
    if (m_window)
        m_window->setWindowTitle(title);
}

void clsProgressBar::Show()
{
    m_interrupted = false;
    m_value = std::max(m_value, m_min);
    if (!m_window) {
        // A window of its own: a child of the disabled source would be disabled with it.
        m_window = new frmShowRate(nullptr);
        m_window->setWindowFlag(Qt::WindowStaysOnTopHint);
        QObject::connect(m_window, &frmShowRate::cancelled, m_window, [this] { m_interrupted = true; });
    }
    m_window->setWindowTitle(m_title);
    if (m_source)
        m_source->setEnabled(false);
    m_started.start();
    m_lastRefresh.start();
    refresh(true);
    m_window->adjustSize();
    if (m_source) {
        const QRect area = m_source->window()->frameGeometry();
        m_window->move(area.center() - QPoint(m_window->width() / 2, m_window->height() / 2));
    }
    m_window->show();
    QApplication::processEvents();
}

void clsProgressBar::setValue(qint64 value)
{
    m_value = std::clamp(value, m_min, std::max(m_min, m_max));
    refresh(false);
}

void clsProgressBar::ValueAdd(qint64 n)
{
    setValue(m_value + n);
}

void clsProgressBar::refresh(bool force)
{
    if (!m_window)
        return;
    // The window is redrawn and the cancel button heard a few times a second, not once a row.
    if (!force && m_lastRefresh.isValid() && m_lastRefresh.elapsed() < 50 && m_value < m_max)
        return;
    m_lastRefresh.restart();
    const qint64 span = std::max<qint64>(1, m_max - m_min);
    m_window->bar()->setRange(0, 1000);
    m_window->bar()->setValue(int((m_value - m_min) * 1000 / span));
    m_window->remaining()->setText(
        LIB_ProgressRemaining(m_min, m_max, m_value, m_started.elapsed() / 1000.0));
    m_window->count()->setVisible(m_countVisible);
    m_window->count()->setText(LIB_ProgressCountLine(m_max, m_value));
    QApplication::processEvents();
}

void clsProgressBar::Finish()
{
    if (m_source)
        m_source->setEnabled(true);
    if (m_window) {
        m_window->disconnect();
        m_window->hide();
        m_window->deleteLater();
        m_window = nullptr;
    }
}
