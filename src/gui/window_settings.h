// A window's rectangle and state in its settings section. Stored in twips
// (1/1440 inch), fifteen to a logical pixel, as the settings have always kept them.
#pragma once

#include <QString>
#include <QWidget>

#include <string_view>
#include <vector>

#include "engine/settings.h"

namespace lorvane {

class IniSettingsStore;

constexpr float kTwipsPerPixel = 15.0f;

// When restore is true: left, top, width and height, then the state; keys that are
// absent keep the window's current value (the position is left alone unless both
// its keys are there). Nothing is read otherwise.
void RestoreWindowGeometry(QWidget& window, const SettingsStore& store, std::string_view section, bool restore);

// The rectangle only while the window is in its normal state (so a maximised window
// keeps the last normal rectangle), then the state always.
void SaveWindowGeometry(const QWidget& window, SettingsStore& store, std::string_view section);

// 0 normal, 1 minimised, 2 maximised.
int WindowStateCode(Qt::WindowStates state);

// The one message the desktop program shows when its settings file failed to load:
// what is wrong, that the file is left untouched, and that this run's window
// settings are kept in memory only.
QString UnsavedSettingsMessage(const IniSettingsStore& store);

// True when the window's place comes from the store: restore is on and the section
// holds a position.
bool HasSavedPlace(const SettingsStore& store, std::string_view section, bool restore);

// The first start's layout: the windows side by side in the given order, each with
// its frame fully on the available area of the screen (shrunk when they do not fit
// at their own size), at the top, centred as a group.
void PlaceSideBySide(const std::vector<QWidget*>& windows);

}  // namespace lorvane
