// What the channel engine needs of the layer above it (the main window, or the service
// form without a window). Every call comes from the main thread's side: the main thread
// itself, or a worker inside a synchronous call.
#pragma once

#include <string>

class DirectCallGate;

// The settings database's user and password (its file is the host's to say).
inline constexpr const char* kSettingsDBUser = "SYSDBA";
inline constexpr const char* kSettingsDBPassword = "plumtrees";

// Why every channel is being stopped.
enum class StopCause {
    Operator,    // the Stop button, a reload, closing, a signal
    StartFailed, // a channel's Start returned false
    FileFailed,  // processing a file failed (from the failing worker)
};

class IChannelHost {
public:
    virtual ~IChannelHost() = default;

    // Adds one line to the monitor.
    virtual void LogMessage(const std::string& text) = 0;
    // The stop-all action: stops every live channel (StopAllChannels) and updates
    // whatever shows the scanning state.
    virtual void StopAll(StopCause cause) = 0;
    // The settings database, which every running channel opens for itself.
    virtual std::string SettingsDatabasePath() const = 0;
    // Null: the workers' synchronous calls cross to the main thread. Otherwise they run
    // on the workers under this gate, which the host holds around its own channel work.
    virtual DirectCallGate* DirectCalls() { return nullptr; }
};
