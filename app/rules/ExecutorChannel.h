// What a rule executor needs of the channel that owns it. The channel engine implements
// it; an executor without a channel (the rule editor's) holds none. Every call comes from
// the thread that runs the rule (the channel's worker).
#pragma once

#include <string>

class ExecutorChannel {
public:
    virtual ~ExecutorChannel() = default;

    // Appends a monitor message to the channel's queue.
    virtual void QueueMessage(const std::string& text) = 0;
    // Has the main thread show every queued message now and waits for it. Skipped once a
    // stop was requested: the messages then stay queued.
    virtual void FlushMessages() = 0;
    // Shows `text` in a plain message box on the main thread and waits until it is
    // closed. Skipped once a stop was requested.
    virtual void ShowMessageOnMain(const std::string& text) = 0;
    // True once the channel's worker was asked to stop.
    virtual bool StopRequested() const = 0;
};
