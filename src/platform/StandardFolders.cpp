#include "platform/StandardFolders.h"

#include <QStandardPaths>

namespace StandardFolders {

QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

} // namespace StandardFolders
