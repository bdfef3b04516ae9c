// What every window of one run shares: the global settings in memory, the store,
// the user-interface services, the window registry and the file system.
#pragma once

#include <QString>

#include "core/file_service.h"
#include "gui/user_interface.h"
#include "gui/window_registry.h"
#include "engine/settings.h"

namespace lorvane {

struct AppContext {
    // sampleFolder: where a first run starts; empty means "sample" in the program's folder.
    AppContext(SettingsStore& store, UserInterface& ui, const FileSystem& files, QString programFolder,
               QString sampleFolder = {})
        : store(store),
          ui(ui),
          files(files),
          programFolder(std::move(programFolder)),
          sampleFolder_(std::move(sampleFolder)) {}

    GlobalSettings settings;
    SettingsStore& store;
    UserInterface& ui;
    // The one way the windows reach files: the program hands in the service, tests a fake.
    const FileSystem& files;
    WindowRegistry windows;
    QString programFolder;  // the folder that holds the program file

    // Default start folder of the Editor's and the Browser's file dialogs.
    QString sampleFolder() const {
        return sampleFolder_.isEmpty() ? programFolder + QStringLiteral("/sample") : sampleFolder_;
    }

private:
    QString sampleFolder_;
};

}  // namespace lorvane
