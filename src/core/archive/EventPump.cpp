#include "core/archive/EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace EventPump {

void serve()
{
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < YieldInterval)
        return;
    QCoreApplication::processEvents();
    sinceLast.start();
}

} // namespace EventPump
