// settings_writer SECTION PREFIX COUNT VALUE_SIZE: saves COUNT values from its own process,
// printing "saved N" after each, for the store's concurrency and kill tests.
#include "core/settings/SettingsStore.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    SettingsStore store;
    QTextStream out(stdout);
    bool ok = true;
    for (int i = 0; i < args.at(3).toInt(); ++i) {
        const QString value = QString(args.at(4).toInt(), QChar(u'a' + i % 26)) + QString::number(i);
        if (store.setValue(args.at(1), args.at(2) + QString::number(i), value))
            out << "saved " << i << Qt::endl;
        else
            ok = false;
    }
    return ok ? 0 : 1;
}
