// Shared pieces of the rule tests: the family libraries bound for the whole test run, a
// channel that records what the executor hands it, and running a rule over lines.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "ExecutorChannel.h"
#include "ScriptExecutor.h"

namespace rulestest {

class RecordingChannel : public ExecutorChannel {
public:
    void QueueMessage(const std::string& text) override { queued.push_back(text); }
    // Moves the queue to `shown`, as the main thread does, unless a stop was requested.
    void FlushMessages() override {
        ++flushes;
        if (stop) return;
        shown.insert(shown.end(), queued.begin(), queued.end());
        queued.clear();
    }
    void ShowMessageOnMain(const std::string& text) override {
        if (!stop) boxes.push_back(text);
    }
    bool StopRequested() const override { return stop; }

    std::vector<std::string> queued;
    std::vector<std::string> shown;
    std::vector<std::string> boxes;
    int flushes = 0;
    std::atomic<bool> stop{false};
};

// The source folder's file at `relative` ("rules/demo.arp").
std::string SourceFile(const std::string& relative);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// Compiles `rule` in `syntax` (asserting success) and runs it once per line.
void RunRule(TdmScriptExecutor& executor, const std::string& syntax, const std::string& rule,
             const std::vector<std::string>& lines);

}  // namespace rulestest
