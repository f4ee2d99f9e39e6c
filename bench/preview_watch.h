#pragma once

// For the Report button measurements (bench_report_click, report_memory):
// prompts that answer nothing, and a watch for the preview's first paint of
// the generated page.

#include "report/preview/page_view.h"
#include "report/preview/preview_window.h"
#include "report/preview/prompts.h"
#include "support/widget_support.h"
#include "ui/main_window.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

using pelorin::testing::named;
using pelorin::testing::SilentPrompts;

// Watches for the preview window of `form` to appear, then for its page
// sheet's first paint that shows the generated page. That paint is carried
// out inside the filter, so the time taken includes it; then `on_page` runs
// and the preview is closed. A preview that shows no page within 20 seconds
// is closed, and elapsed_ms() stays negative.
class FirstPageWatch : public QObject
{
public:
    explicit FirstPageWatch(pelorin::TForm1 &form) : m_form(form)
    {
        connect(&m_poll, &QTimer::timeout, this, &FirstPageWatch::find_preview);
        m_give_up.setSingleShot(true);
        connect(&m_give_up, &QTimer::timeout, this, [this] {
            m_poll.stop();
            if (auto *preview = m_form.findChild<pelorin::PreviewWindow *>())
                preview->close();
        });
    }

    // What to do once the page has been painted, before the preview closes.
    std::function<void()> on_page;

    // Starts watching, before the click; `clock` runs from the click.
    void start(const QElapsedTimer &clock)
    {
        m_clock = &clock;
        m_elapsed_ms = -1;
        m_preview = nullptr;
        m_poll.start(0);
        m_give_up.start(20000);
    }

    double elapsed_ms() const { return m_elapsed_ms; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !m_preview || m_elapsed_ms >= 0 ||
            !m_preview->page_view()->has_picture())
            return QObject::eventFilter(watched, event);
        watched->removeEventFilter(this);
        static_cast<QObject *>(watched)->event(event); // the paint itself
        m_elapsed_ms = m_clock->nsecsElapsed() / 1e6;
        m_give_up.stop();
        if (on_page)
            on_page();
        QTimer::singleShot(0, m_preview.data(), &QWidget::close);
        return true;
    }

private:
    void find_preview()
    {
        auto *preview = m_form.findChild<pelorin::PreviewWindow *>();
        if (!preview || preview->isHidden())
            return;
        m_poll.stop();
        m_preview = preview;
        preview->page_view()->sheet()->installEventFilter(this);
    }

    pelorin::TForm1 &m_form;
    QTimer m_poll;
    QTimer m_give_up;
    QPointer<pelorin::PreviewWindow> m_preview;
    const QElapsedTimer *m_clock = nullptr;
    double m_elapsed_ms = -1;
};
