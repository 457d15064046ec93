#include "gui/mainwindow/FirstStart.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "gui/options/OptionsDialog.h"

#include <QMessageBox>

namespace FirstStart {

namespace {

// "True"/"False" in any case, or a number (non-zero is true); anything else
// counts as the default.
bool truthValue(const QString& text, bool fallback)
{
    const QString value = text.trimmed();
    if (value.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (value.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number != 0 : fallback;
}

} // namespace

void welcome(QWidget* owner, SettingsStore& settings)
{
    if (!truthValue(settings.value(SettingsKeys::General, SettingsKeys::FirstRun, QStringLiteral("True")), true))
        return;
    QMessageBox(QMessageBox::Information, QStringLiteral("Welcome to Zorvane"),
                QStringLiteral("Since this is the first time you've used Zorvane, we need to configure it's options."),
                QMessageBox::Ok, owner)
        .exec();
    OptionsDialog options(owner);
    options.exec();
    settings.setValue(SettingsKeys::General, SettingsKeys::FirstRun, QStringLiteral("False"));
}

bool tipsWanted(const SettingsStore& settings)
{
    bool ok = false;
    const int noInstructions =
        settings.value(SettingsKeys::General, SettingsKeys::NoInstructions, QStringLiteral("0")).toInt(&ok);
    return !ok || noInstructions == 0;
}

} // namespace FirstStart
