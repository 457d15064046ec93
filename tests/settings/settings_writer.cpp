// Writes numbered values into the settings store from its own process, so the
// store tests can run several writers at once or kill one mid-write. Usage:
//   settings_writer SECTION PREFIX COUNT [VALUE_SIZE]
// Prints "saved N" after each value the store confirmed.
#include "settings/CRegSettings.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString section = args.at(1);
    const QString prefix = args.at(2);
    const int count = args.at(3).toInt();
    const int valueSize = args.size() > 4 ? args.at(4).toInt() : 8;

    CRegSettings store;
    store.setCompany(QStringLiteral("Quenmarsh"));
    store.setAppName(QStringLiteral("Zorvane"));
    QTextStream out(stdout);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        const QString value = QString(valueSize, QChar(u'a' + i % 26)) + QString::number(i);
        if (store.SaveSetting(section, prefix + QString::number(i), value)) {
            out << "saved " << i << Qt::endl;
        } else {
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
