#pragma once

// For the start-up measurement (startup.sh): reports, on the first paint of a
// window, the milliseconds since the launch time the script put into
// PELORIN_LAUNCH_US (microseconds since the epoch), then ends the program.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <chrono>
#include <cstdio>

class FirstPaintTimer : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
            const long long launch = qEnvironmentVariable("PELORIN_LAUNCH_US").toLongLong();
            std::printf("%.3f\n", launch > 0 ? (now - launch) / 1000.0 : -1.0);
            std::fflush(stdout);
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};
