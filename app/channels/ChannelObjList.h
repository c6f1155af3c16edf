// TChannelObjList: an owning, ordered list of channels. Removing a channel or clearing
// the list destroys the channels (each waits for its worker).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ChannelObj.h"

class TChannelObjList {
public:
    TChannelObjList() = default;
    ~TChannelObjList() { Clear(); }
    TChannelObjList(const TChannelObjList&) = delete;
    TChannelObjList& operator=(const TChannelObjList&) = delete;

    // Takes ownership; returns the channel.
    TChannelObj* Add(std::unique_ptr<TChannelObj> channel);
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    TChannelObj* Items(int32_t index) const { return items_.at(static_cast<size_t>(index)).get(); }
    // Destroys every channel, in list order.
    void Clear();
    // Destroys the channel at `index`.
    void Delete(int32_t index);

    // The first channel whose Description is equal byte for byte; null when none.
    TChannelObj* FindByDescription(const std::string& description) const;
    // Channels whose Disabled is false.
    int32_t EnabledCount() const;
    // Destroys the first channel of that description; false (nothing changed) when none.
    bool RemoveByDescription(const std::string& description);
    // True exactly when the first channel of that description has another ChannelID.
    bool DescriptionUsedByOther(const std::string& description, int32_t channelId) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<TChannelObj>> items_;
};
