// What every window of one run shares: the global settings in memory, the store,
// the user-interface services, the window registry and the file system.
#pragma once

#include <QString>

#include "core/files/file_service.h"
#include "gui/user_interface.h"
#include "gui/window_registry.h"
#include "engine/settings.h"

namespace lorvane {

struct AppContext {
    AppContext(SettingsStore& store, UserInterface& ui, const FileSystem& files, QString programFolder,
               QString sampleCopy = {}, QString sampleOriginal = {})
        : store(store),
          ui(ui),
          files(files),
          programFolder(std::move(programFolder)),
          sampleCopy(std::move(sampleCopy)),
          sampleOriginal(std::move(sampleOriginal)) {}

    GlobalSettings settings;
    SettingsStore& store;
    UserInterface& ui;
    // The one way the windows reach files: the program hands in the service, tests a fake.
    const FileSystem& files;
    WindowRegistry windows;
    QString programFolder;  // the folder that holds the program file
    // Where a first run starts: the user's copy of the sample names, which start-up
    // makes from the program's own (sampleOriginal) when it is missing. A context
    // without one (a test's) starts in "sample" in the program's folder.
    QString sampleCopy;
    QString sampleOriginal;

    // Default folder of the Browser and start folder of the Editor's file dialogs.
    QString sampleFolder() const {
        return sampleCopy.isEmpty() ? programFolder + QStringLiteral("/sample") : sampleCopy;
    }
};

}  // namespace lorvane
