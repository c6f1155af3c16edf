// The settings store: the settings database of the program folder and, later, the
// loading and saving of the channels and the system options.
#pragma once

#include <cstdint>
#include <string>

class IMainWindow;

inline constexpr const char* SettingsDBFile = "QUILLON.GDB";
inline constexpr const char* SettingsDBUser = "SYSDBA";
inline constexpr const char* SettingsDBPassword = "plumtrees";

// ExePath() + SettingsDBFile.
std::string SettingsDBPath();

class SettingsStore {
public:
    explicit SettingsStore(IMainWindow& window);
    // Closes the settings connection if it is still open.
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens the settings database (the process's first connection) and says so on the
    // monitor. A database that cannot be opened is reported there too. True when open.
    bool OpenSettingsDatabase(void* appHandle);
    // Releases the settings connection.
    void CloseSettingsDatabase();

    // The settings connection; negative when there is none.
    int32_t MainConnection() const { return mainConnection_; }

private:
    IMainWindow& window_;
    int32_t mainConnection_ = -1;
};
