// The settings store: the settings database of the program folder (the channels), the
// INI file (system and security options) and the autostart entry; the loading that builds
// both channel lists and the save that writes them.
#pragma once

#include <cstdint>
#include <string>

#include "ChannelHost.h"

class IMainWindow;

inline constexpr const char* SettingsDBFile = "QUILLON.GDB";
inline constexpr const char* SettingsDBUser = kSettingsDBUser;
inline constexpr const char* SettingsDBPassword = kSettingsDBPassword;
inline constexpr const char* IniFileName = "Quillon.ini";
// The autostart entry's name; its command is ExePath() + "quillon".
inline constexpr const char* RunAtStartupName = "Tavmere Quillon";

// ExePath() + SettingsDBFile.
std::string SettingsDBPath();

// The options of the INI file, as loaded or as the controls show them for a save.
struct SystemOptions {
    bool LoadOnStartup = false;    // "System" / "Load on Windows startup"
    bool LogEventsToFile = false;  // "System" / "Log Event"
    bool HideOnStartup = false;    // "System" / "Load on Startup"
    bool ProtectSettings = false;  // "Security" / "Protect Settings"
    std::string SettingsPassword;  // "Security" / "Password", deciphered
};

// Writes (or with `remove` deletes) the autostart entry `valueName`:
// $XDG_CONFIG_HOME/autostart/<valueName>.desktop (default ~/.config/autostart) running
// `command`. Deleting an entry that does not exist is no error. False when it failed.
bool SetRunAtStartup(const std::string& valueName, const std::string& command, bool remove);

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

    // Stops scanning, rebuilds both channel lists from CHANNEL_SETTING (description
    // order), reads the INI options and restarts scanning when it was running.
    void LoadSettings(bool reload);

    enum class SaveResult { Saved, PasswordMismatch, NotEmptied, Failed };
    // Writes EditChannels to CHANNEL_SETTING as one transaction (all or nothing), then
    // `shown` to the INI file and the autostart entry, and reloads. `confirmPassword` is
    // the text of the confirmation box.
    SaveResult Save(const SystemOptions& shown, const std::string& confirmPassword);

    const SystemOptions& Options() const { return options_; }
    bool SettingsModified = false;

private:
    bool WriteChannels();

    IMainWindow& window_;
    int32_t mainConnection_ = -1;
    SystemOptions options_;
};
