// The channel side of the Start and Stop actions, written once for the main window and
// for the service form. The caller updates its own scanning state (buttons, tray icon).
#pragma once

class IChannelHost;
class TChannelObjList;

// Starts every enabled channel in list order, logging "Channel \"D\" started!" for each.
// At the first failure it runs the host's stop-all action, logs "Error starting channel
// \"D\"!" and returns false; the channels after it are not tried. Otherwise logs "All
// enabled channels successfully started!" and returns true.
bool StartAllChannels(TChannelObjList& live, IChannelHost& host);

// Stops every channel in list order, running or not, logging "Channel \"D\" stopped!".
void StopAllChannels(TChannelObjList& live, IChannelHost& host);
