#pragma once

class QWidget;
class SettingsStore;

// What a start with the window shows before anything else: the welcome and
// the options on the very first start, and the tips unless they were turned off.
namespace FirstStart {

// On the first start: the welcome, then the options. "First Run" is cleared
// even when the options were cancelled, so the welcome comes once.
void welcome(QWidget* owner, SettingsStore& settings);

// Whether the tips open at the start ("No Instructions" unset, 0 or unreadable).
bool tipsWanted(const SettingsStore& settings);

} // namespace FirstStart
