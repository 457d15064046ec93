#include "core/archive/modEvents.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace modEvents {

void YieldToWindows()
{
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < YieldInterval)
        return;
    QCoreApplication::processEvents();
    sinceLast.start();
}

} // namespace modEvents
