#pragma once

#include <QObject>

class QWidget;

// For start-up measurements: with ZORVANE_QUIT_AFTER_FIRST_PAINT set, waits for
// the window's first paint, writes the moment to stderr as "first paint: <ns
// since the epoch>" and quits the application. Without the variable it does nothing.
class FirstPaintProbe : public QObject
{
public:
    // The probe, when there is one, belongs to window.
    static void watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FirstPaintProbe(QWidget* window);

    bool m_painted = false;
};
