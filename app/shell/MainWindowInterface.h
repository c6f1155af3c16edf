// What the layers below the main window (settings store, channels) need of it. The window
// (TfrmMain) and the service form without a window (HeadlessRunner) both implement it.
// Every call comes from the main thread's side.
#pragma once

#include <string>

#include "ChannelHost.h"

class TChannelObjList;
struct SystemOptions;

class IMainWindow : public IChannelHost {
public:
    // LogMessage (the one way to write to the monitor) and StopAll come from
    // IChannelHost.

    // The channels as last loaded (the only ones started) and the copies that the
    // settings controls edit and a save writes.
    virtual TChannelObjList& LiveChannels() = 0;
    virtual TChannelObjList& EditChannels() = 0;

    // The Start action: starts every enabled live channel.
    virtual void bbnStartClick() = 0;
    // The Stop action: stops every live channel.
    virtual void bbnStopClick() = 0;

    // Loading has read the options: show them (and hide the window when "Hide on
    // Startup" is set and `reload` is false). Nothing to show without a window.
    virtual void ShowOptions(const SystemOptions& /*options*/, bool /*reload*/) {}
    // Loading has rebuilt both channel lists: show them.
    virtual void ShowChannels() {}
};
