// The single-instance guard and the way texts reach the running instance.
//
// A running instance holds a Unix socket bound to its instance name in the abstract
// namespace. The name disappears with the process, so a crash leaves no stale lock, and a
// second bind of the same name fails: that is the whole test for "already running". The
// same socket carries texts from `quillon --send TEXT` to the instance.
//
// Protocol: the sender writes the text followed by one NUL byte; the instance answers with
// one byte once it has the text, then closes. Only processes of the same user (or root)
// are listened to.
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <string>

// The text that closes the running instance (compared exactly, case-sensitive).
inline constexpr const char* kExitCommand = "Exit";

// The program path that names this process's instance: ExePath() + "quillon" when
// QUILLON_HOME is set (so two homes are two instances, and --send reaches the instance of
// its own home), otherwise the executable's resolved path.
std::string InstanceProgramPath();

// "APPLICATION-" + `programPath` upper-cased, every '/' turned into '_'. A name longer than
// an abstract socket address holds (107 bytes) keeps its start and ends in a hash of the
// whole name, so that deep program folders still get a guard of their own.
std::string InstanceName(const std::string& programPath);

// True once this process holds its instance name (read by the rest of the program).
bool IsFirstInstance();

class SingleInstanceGuard : public QObject {
    Q_OBJECT

public:
    explicit SingleInstanceGuard(std::string instanceName, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // Takes the instance name. False when another process holds it, and also when the name
    // could not be taken for any other reason (reported on standard error): the caller
    // then behaves as if another instance ran.
    bool Acquire();

signals:
    // A text that another process sent, up to its first NUL.
    void TextReceived(const QByteArray& text);

private:
    void AcceptConnections();

    std::string name_;
    QLocalServer server_;
};

enum class SendResult { Delivered, NotRunning, Failed };

// Hands `text` (up to its first NUL) to the instance called `instanceName` and waits for
// its answer. Does not take the name itself.
SendResult SendToInstance(const std::string& instanceName, const QByteArray& text,
                          int timeoutMs = 5000);
