#include "ChannelObjList.h"

TChannelObj* TChannelObjList::Add(std::unique_ptr<TChannelObj> channel) {
    items_.push_back(std::move(channel));
    return items_.back().get();
}

void TChannelObjList::Clear() {
    // Each channel leaves the list before it is destroyed: while it waits for its worker
    // the main thread processes events, and a stop-all action run then must see a list
    // without half-destroyed channels.
    while (!items_.empty()) {
        std::unique_ptr<TChannelObj> first = std::move(items_.front());
        items_.erase(items_.begin());
        first.reset();
    }
}

void TChannelObjList::Delete(int32_t index) {
    std::unique_ptr<TChannelObj> removed = std::move(items_.at(static_cast<size_t>(index)));
    items_.erase(items_.begin() + index);
    removed.reset();
}

TChannelObj* TChannelObjList::FindByDescription(const std::string& description) const {
    for (const auto& channel : items_)
        if (channel->Description == description) return channel.get();
    return nullptr;
}

int32_t TChannelObjList::EnabledCount() const {
    int32_t count = 0;
    for (const auto& channel : items_)
        if (!channel->Disabled) ++count;
    return count;
}

bool TChannelObjList::RemoveByDescription(const std::string& description) {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Description == description) {
            Delete(static_cast<int32_t>(i));
            return true;
        }
    return false;
}

bool TChannelObjList::DescriptionUsedByOther(const std::string& description, int32_t channelId) const {
    const TChannelObj* found = FindByDescription(description);
    return found != nullptr && found->ChannelID != channelId;
}
