#include "ScanControl.h"

#include "ChannelHost.h"
#include "ChannelObjList.h"

bool StartAllChannels(TChannelObjList& live, IChannelHost& host) {
    for (int32_t i = 0; i < live.Count(); ++i) {
        TChannelObj* channel = live.Items(i);
        if (channel->Disabled) continue;
        const std::string description = channel->Description;
        if (channel->Start()) {
            host.LogMessage("Channel \"" + description + "\" started!");
        } else {
            host.StopAll(StopCause::StartFailed);
            host.LogMessage("Error starting channel \"" + description + "\"!");
            return false;
        }
    }
    host.LogMessage("All enabled channels successfully started!");
    return true;
}

void StopAllChannels(TChannelObjList& live, IChannelHost& host) {
    for (int32_t i = 0; i < live.Count(); ++i) {
        TChannelObj* channel = live.Items(i);
        channel->Stop();
        host.LogMessage("Channel \"" + channel->Description + "\" stopped!");
    }
}
