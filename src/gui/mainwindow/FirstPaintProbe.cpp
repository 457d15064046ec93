#include "gui/mainwindow/FirstPaintProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

void FirstPaintProbe::watch(QWidget* window)
{
    if (qEnvironmentVariableIsSet("ZORVANE_QUIT_AFTER_FIRST_PAINT"))
        window->installEventFilter(new FirstPaintProbe(window));
}

FirstPaintProbe::FirstPaintProbe(QWidget* window)
    : QObject(window)
{}

bool FirstPaintProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        // The moment is taken once this paint and its flush to the screen are done.
        QTimer::singleShot(0, this, [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::fprintf(stderr, "first paint: %lld\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stderr);
            QCoreApplication::quit();
        });
    }
    return QObject::eventFilter(watched, event);
}
