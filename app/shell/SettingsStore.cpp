#include "SettingsStore.h"

#include "ExePath.h"
#include "MainWindowInterface.h"
#include "tvDaHeader.h"

std::string SettingsDBPath() { return ExePath() + SettingsDBFile; }

SettingsStore::SettingsStore(IMainWindow& window) : window_(window) {}

SettingsStore::~SettingsStore() { CloseSettingsDatabase(); }

bool SettingsStore::OpenSettingsDatabase(void* appHandle) {
    const std::string path = SettingsDBPath();
    window_.LogMessage("Connecting to database \"" + path + "\".");
    mainConnection_ = tvDa::ConnectDB(path.c_str(), SettingsDBUser, SettingsDBPassword, appHandle, 1);
    // This line is written whatever the outcome, as it always was; a failure gets a line
    // of its own so that it does not pass unnoticed.
    window_.LogMessage("Database \"" + path + "\" connected.");
    if (mainConnection_ < 0) {
        window_.LogMessage("Error: the database \"" + path +
                           "\" could not be opened; the settings are not available.");
        return false;
    }
    return true;
}

void SettingsStore::CloseSettingsDatabase() {
    if (mainConnection_ >= 0 && tvDa::DisconnectDB(mainConnection_)) mainConnection_ = -1;
}
