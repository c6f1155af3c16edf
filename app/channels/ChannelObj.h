// TChannelObj: one channel, a folder watcher. It holds the settings of one CHANNEL_SETTING
// row, the two connections it uses while running, its rule executor, its queue of monitor
// messages and the worker component whose worker runs the scan cycle.
//
// Everything runs on the main thread except ThreadExecute and what it calls. While the
// channel runs, its settings fields do not change (the user interface edits copies), so
// the worker reads them without locks; the message queue is emptied only inside the
// worker's own synchronous call, while the worker waits.
#pragma once

#include <QThread>
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ExecutorChannel.h"
#include "WorkerThread.h"

class IChannelHost;
class TdmScriptExecutor;

class TChannelObj : public ExecutorChannel {
public:
    // A run of the rule that goes on this long after the worker was asked to end is
    // aborted (a rule that never returns must not hang the program).
    static constexpr uint32_t kAbortGraceMs = 2000;

    // `host` receives the monitor lines and the stop-all action; a channel that is only
    // data (the edit copies) needs none.
    explicit TChannelObj(IChannelHost* host = nullptr);
    // Ends the worker (waiting for it) and releases the connections.
    ~TChannelObj() override;
    TChannelObj(const TChannelObj&) = delete;
    TChannelObj& operator=(const TChannelObj&) = delete;

    // Copies the settings, ChannelID, the worker's priority and Running; never LogFile,
    // the connections, the executor, the rule text, the queue or the worker.
    void Assign(const TChannelObj& source);

    // Opens the connections, checks the folders and the rule, compiles the rule and
    // starts the worker. Every failure is shown in a message box and gives false.
    // Waits first for a worker of an earlier run that is still finishing its file.
    bool Start();
    // Asks the worker to end and releases the connections: at once when no worker runs,
    // otherwise when the worker has ended (it finishes the file it is in).
    void Stop();

    // The worker's body: a pass over the scanned folder every ScanInterval ms.
    void ThreadExecute(WorkerThread& sender, WorkerThread::Worker& thread);
    // Runs the rule over every non-empty line of Folder + FileName and moves the file to
    // TargetFolder. Throws when the file cannot be read or the rule fails (also when it
    // does not compile at the file's first non-empty line, after its message box).
    void ProcessFile(const std::string& folder, const std::string& fileName, const std::string& targetFolder);

    // Main thread (inside the worker's synchronous call): hands every queued message to
    // the monitor and, when Logged, to LogFile.
    void DeliverMessages();
    // Main thread, from the failing worker: the stop-all action, then DeliverMessages.
    void StopAllAndFlush();

    // ExecutorChannel, from the worker.
    void QueueMessage(const std::string& text) override;
    void FlushMessages() override;  // a synchronous call of DeliverMessages
    void ShowMessageOnMain(const std::string& text) override;
    bool StopRequested() const override;

    // The worker of a run still exists (also while it finishes its file after a stop).
    bool WorkerActive() const { return Thread->HasWorker(); }
    IChannelHost* Host() const { return host_; }

    // Settings (one CHANNEL_SETTING row).
    bool Disabled = false;
    std::string Description;
    std::string RuleFile;
    std::string ScannedLocation;    // ends with '/'
    std::string ProcessedLocation;  // ends with '/'
    std::string FileExt;            // with its dot; empty: any
    std::string FileNameStartsWith;
    std::string FileNameEndsWith;
    int32_t ScanInterval = 1000;  // ms from the start of one pass to the start of the next
    std::string DBType;           // "MySQL" or "Firebird"; kept, not read by the engine
    std::string DBServerName;
    std::string DBName;
    std::string DBUserName;
    std::string DBPassword;  // plain text
    bool Logged = false;
    std::string LogFile;  // ExePath + Description + ".log", set by the loader
    int32_t ChannelID = 0;
    bool Running = false;
    int32_t SettingsConnection = -1;
    int32_t RepositoryConnection = -1;

    std::unique_ptr<TdmScriptExecutor> Executor;
    std::unique_ptr<std::vector<std::string>> RuleLines;  // none until the first Start
    std::deque<std::string> PendingMessages;
    std::unique_ptr<WorkerThread> Thread;

private:
    // Shows an error box for Start and returns false.
    bool StartFailed(const std::string& message);
    void ReleaseConnections();
    void RunPass(WorkerThread::Worker& thread);
    // Moves a finished file; says on the monitor when it went under another name or
    // could not be moved.
    void MoveProcessed(const std::string& path, const std::string& target);
    // Files whose move failed for a reason other than the name: left alone until they
    // change (size or modification time).
    struct FileStamp {
        int64_t size = 0;
        int64_t modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static bool Stamp(const std::string& path, FileStamp& stamp);
    bool LeftAlone(const std::string& path);
    // The main thread's check while it waits for the worker: aborts a rule run that has
    // gone on for kAbortGraceMs since the stop request.
    void AbortHangingRun();

    IChannelHost* host_;
    std::string ruleText_;  // RuleLines joined with CR LF, built at Start
    std::map<std::string, FileStamp> unmovable_;  // worker only

    // Tick at which the current rule run began, and whether one runs (worker writes).
    std::atomic<bool> inRun_{false};
    std::atomic<uint32_t> runStartedAt_{0};
    // Tick of the first wait for the worker after a stop request (main thread).
    bool waitingSinceSet_ = false;
    uint32_t waitingSince_ = 0;
};
