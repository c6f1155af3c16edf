#include "ChannelObj.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>

#include "ChannelHost.h"
#include "FilePattern.h"
#include "PlainNotice.h"
#include "ProcessedFileMove.h"
#include "RuleError.h"
#include "ScriptExecutor.h"
#include "TextFileLines.h"
#include "TickCount.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string CheckSettingsHint(const std::string& description) {
    return "\r\nPlease check the settings for Channel \"" + description + "\".";
}

// Marks a rule run for the main thread's hang check.
class RunMark {
public:
    RunMark(std::atomic<bool>& inRun, std::atomic<uint32_t>& startedAt) : inRun_(inRun) {
        startedAt.store(TickCount(), std::memory_order_relaxed);
        inRun_.store(true, std::memory_order_release);
    }
    ~RunMark() { inRun_.store(false, std::memory_order_release); }

private:
    std::atomic<bool>& inRun_;
};

}  // namespace

TChannelObj::TChannelObj(IChannelHost* host)
    : Executor(std::make_unique<TdmScriptExecutor>()), Thread(std::make_unique<WorkerThread>()), host_(host) {
    Thread->Priority = QThread::HighPriority;
    Thread->SetOnExecute([this](WorkerThread& sender, WorkerThread::Worker& thread) { ThreadExecute(sender, thread); });
    Thread->SetOnEnded([this] {
        waitingSinceSet_ = false;
        // The worker has ended: now nothing uses the connections any more.
        if (!Running) ReleaseConnections();
    });
    Thread->SetOnWaiting([this] { AbortHangingRun(); });
    if (host_ != nullptr) Thread->SetGate(host_->DirectCalls());
}

TChannelObj::~TChannelObj() {
    // The worker reaches the component through Thread while it ends: wait before the
    // component goes.
    Thread->Stop();
    Thread->WaitForWorker();
    Thread.reset();
    PendingMessages.clear();
    Executor.reset();
    RuleLines.reset();
    ReleaseConnections();
}

void TChannelObj::Assign(const TChannelObj& source) {
    ChannelID = source.ChannelID;
    Thread->Priority = source.Thread->Priority;
    Running = source.Running;
    Disabled = source.Disabled;
    Description = source.Description;
    RuleFile = source.RuleFile;
    ScannedLocation = source.ScannedLocation;
    ProcessedLocation = source.ProcessedLocation;
    FileExt = source.FileExt;
    FileNameStartsWith = source.FileNameStartsWith;
    FileNameEndsWith = source.FileNameEndsWith;
    ScanInterval = source.ScanInterval;
    DBType = source.DBType;
    DBServerName = source.DBServerName;
    DBName = source.DBName;
    DBUserName = source.DBUserName;
    DBPassword = source.DBPassword;
    Logged = source.Logged;
}

bool TChannelObj::StartFailed(const std::string& message) {
    tvGn::ShowMsg(message, tvMsgError, tvBtnOK, 0);
    return false;
}

bool TChannelObj::Start() {
    // A worker of the previous run may still be finishing its file; it must end (and its
    // connections be released) before this run opens new ones.
    Thread->WaitForWorker();
    // Handles left open by an earlier failed start are not leaked.
    ReleaseConnections();

    SettingsConnection =
        tvDa::ConnectDB(host_ != nullptr ? host_->SettingsDatabasePath().c_str() : "", kSettingsDBUser,
                        kSettingsDBPassword, nullptr, 1);
    RepositoryConnection =
        tvDa::ConnectDB((DBServerName + ":" + DBName).c_str(), DBUserName.c_str(), DBPassword.c_str(), nullptr, 1);
    if (SettingsConnection < 0 || RepositoryConnection < 0)
        return StartFailed("Error connecting to data repository!" + CheckSettingsHint(Description));
    if (!IsFolder(ScannedLocation))
        return StartFailed("Scanned Location must be a valid directory!" + CheckSettingsHint(Description));
    if (!IsFolder(ProcessedLocation) && mkdir(ProcessedLocation.c_str(), 0777) != 0)
        return StartFailed("Failed to create folder for Processed Location!" + CheckSettingsHint(Description));
    if (!IsFile(RuleFile)) return StartFailed("Rule File does not exist!" + CheckSettingsHint(Description));

    Executor->Init(RepositoryConnection, this);
    std::string content, error;
    if (!ReadWholeFile(RuleFile, content, error))
        return StartFailed("Rule File '" + RuleFile + "' cannot be read: " + error);
    RuleLines = std::make_unique<std::vector<std::string>>(SplitTextLines(content));
    Executor->SetSyntaxFromRuleFile(RuleFile);
    ruleText_ = RuleTextFromLines(*RuleLines);
    if (ruleText_.empty()) return StartFailed("Rule File '" + RuleFile + "' is empty!");
    int32_t errLine = 0, errChar = 0;
    if (!Executor->Compile(ruleText_, errLine, errChar, false))
        return StartFailed("There are errors in the Rule File '" + RuleFile + "' at Line " + std::to_string(errLine) +
                           ", Char " + std::to_string(errChar) + "!\r\nPlease check the syntax of the rule file.");

    Thread->Start();
    Running = true;
    return true;
}

void TChannelObj::Stop() {
    Thread->Stop();
    Running = false;
    // A worker still finishing its file keeps the connections until it has ended.
    if (!Thread->HasWorker()) ReleaseConnections();
}

void TChannelObj::ReleaseConnections() {
    if (SettingsConnection >= 0 && tvDa::DisconnectDB(SettingsConnection)) SettingsConnection = -1;
    if (RepositoryConnection >= 0 && tvDa::DisconnectDB(RepositoryConnection)) RepositoryConnection = -1;
}

void TChannelObj::ThreadExecute(WorkerThread&, WorkerThread::Worker& thread) {
    uint32_t last = TickCount();
    const uint32_t interval = static_cast<uint32_t>(std::max<int32_t>(ScanInterval, 0));
    while (!thread.Terminated()) {
        const uint32_t now = TickCount();
        if (TicksSince(now, last) >= interval) {
            last = now;  // the interval runs from the start of one pass to the next
            RunPass(thread);
        }
        QThread::msleep(10);
    }
}

void TChannelObj::RunPass(WorkerThread::Worker& thread) {
    const std::string pattern = ChannelFilePattern(FileNameStartsWith, FileNameEndsWith, FileExt);
    for (const std::string& name : MatchingFiles(ScannedLocation, pattern)) {
        // After a stop the rest of the pass is skipped: the connections go once the
        // worker has ended, and no file is started that could not be finished.
        if (thread.Terminated()) return;
        const std::string path = ScannedLocation + name;
        // Gone meanwhile (another process took it), or left alone after a failed move.
        if (!IsFile(path) || LeftAlone(path)) continue;
        QueueMessage("Processing file \"" + path + "\"");
        FlushMessages();
        try {
            ProcessFile(ScannedLocation, name, ProcessedLocation);
        } catch (const std::exception& error) {
            QueueMessage("Error while processing file \"" + path + "\"");
            // The reason is worth a line of its own: the operator needs it to mend the
            // rule or the file.
            if (const auto* ruleError = dynamic_cast<const RuleRuntimeError*>(&error))
                QueueMessage(std::string(error.what()) + " at Line " + std::to_string(ruleError->Line()) + " Char " +
                             std::to_string(ruleError->Char()));
            else
                QueueMessage(error.what());
            Thread->Synchronize([this] { StopAllAndFlush(); });
        } catch (...) {
            QueueMessage("Error while processing file \"" + path + "\"");
            Thread->Synchronize([this] { StopAllAndFlush(); });
        }
        QueueMessage("Completed processing file \"" + path + "\"");
        FlushMessages();
    }
}

void TChannelObj::ProcessFile(const std::string& folder, const std::string& fileName,
                              const std::string& targetFolder) {
    const std::string path = folder + fileName;
    std::string content, error;
    if (!ReadWholeFile(path, content, error))
        throw std::runtime_error("File \"" + path + "\" cannot be read: " + error);
    const std::vector<std::string> lines = SplitTextLines(content);
    content.clear();
    content.shrink_to_fit();

    bool compileFirst = true;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        QueueMessage("Processing line \"" + line + "\"");
        FlushMessages();
        int32_t errLine = 0, errChar = 0;
        bool ok;
        {
            RunMark mark(inRun_, runStartedAt_);
            ok = Executor->Execute(ruleText_, errLine, errChar, false, line, compileFirst);
        }
        if (!ok) {
            tvGn::ShowMsg("Error in Rule File '" + RuleFile + "' at Line " + std::to_string(errLine) + ", Char " +
                              std::to_string(errChar) + " when processing content \"" + line + "\"!",
                          tvMsgError, tvBtnOK, 0);
            // Failing like a rule error stops every channel: returning quietly would leave
            // the file in place to be taken again, with the same box, at every pass.
            throw std::runtime_error(
                TdmScriptExecutor::CompileErrorMessage(Executor->LastError(), errLine, errChar));
        }
        compileFirst = false;
    }
    MoveProcessed(path, targetFolder + fileName);
}

void TChannelObj::MoveProcessed(const std::string& path, const std::string& target) {
    const MoveOutcome outcome = MoveWithoutReplacing(path, target);
    switch (outcome.kind) {
        case MoveOutcome::Moved:
            break;
        case MoveOutcome::MovedRenamed:
            QueueMessage("File \"" + target + "\" already exists; \"" + path + "\" moved to \"" + outcome.target +
                         "\"");
            break;
        case MoveOutcome::Failed: {
            QueueMessage("Error moving file \"" + path + "\" to \"" + target + "\": " + outcome.error +
                         "; the file is left alone until it changes");
            FileStamp stamp;
            if (Stamp(path, stamp)) unmovable_[path] = stamp;
            break;
        }
    }
}

bool TChannelObj::Stamp(const std::string& path, FileStamp& stamp) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false;
    stamp.size = info.st_size;
    stamp.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

bool TChannelObj::LeftAlone(const std::string& path) {
    const auto found = unmovable_.find(path);
    if (found == unmovable_.end()) return false;
    FileStamp now;
    if (Stamp(path, now) && now == found->second) return true;
    unmovable_.erase(found);  // it changed: take it again
    return false;
}

void TChannelObj::DeliverMessages() {
    while (!PendingMessages.empty()) {
        const std::string message = std::move(PendingMessages.front());
        PendingMessages.pop_front();
        if (host_ != nullptr) host_->LogMessage(message);
        if (Logged) tvGn::AddLog(message, LogFile);
    }
}

void TChannelObj::StopAllAndFlush() {
    if (host_ != nullptr) host_->StopAll(StopCause::FileFailed);
    DeliverMessages();
}

void TChannelObj::QueueMessage(const std::string& text) { PendingMessages.push_back(text); }

void TChannelObj::FlushMessages() {
    Thread->Synchronize([this] { DeliverMessages(); });
}

void TChannelObj::ShowMessageOnMain(const std::string& text) {
    Thread->Synchronize([&text] { tv::ShowPlainNotice(text); });
}

bool TChannelObj::StopRequested() const { return Thread->TerminateRequested(); }

void TChannelObj::AbortHangingRun() {
    const uint32_t now = TickCount();
    if (!waitingSinceSet_) {
        waitingSinceSet_ = true;
        waitingSince_ = now;
    }
    if (!inRun_.load(std::memory_order_acquire) || Executor == nullptr || Executor->AbortRequested()) return;
    const uint32_t running = TicksSince(now, runStartedAt_.load(std::memory_order_relaxed));
    const uint32_t waited = TicksSince(now, waitingSince_);
    if (std::min(running, waited) >= kAbortGraceMs) Executor->RequestAbort();
}
