// Renders the Browser on a folder to PNG files, one per view, without touching the
// user's settings: for looking at the window on a machine without a display.
#pragma once

#include <QString>
#include <QStringList>

namespace lorvane {

// Writes browser-details.png, browser-large-icons.png, browser-small-icons.png,
// browser-list.png and browser-selected.png into outputFolder. Returns the files
// written; an empty list when the folder could not be written.
QStringList RenderBrowserSnapshots(const QString& folder, const QString& outputFolder);

}  // namespace lorvane
