// Copies of the build's program folder, and the program run from them as real processes.
#pragma once

#include <QProcess>
#include <QStringList>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"

// The family libraries in binding order, as the program folder holds them.
inline const char* const kDataAccess = "libtvDataAccess.so";
inline const char* const kGeneral = "libtvGeneral.so";
inline const char* const kSecurity = "libtvSecurity.so";

// True when the build's program folder holds `file`.
bool Built(const std::string& file);
// True when all three family libraries are built.
bool AllLibrariesBuilt();

class ProgramFolder {
public:
    // A folder under a fresh temporary folder (`subPath` below it, created) with the
    // build's quillon, every libtv*.so and QUILLON.GDB, less the files in `without`.
    explicit ProgramFolder(const std::string& subPath = "q", const std::set<std::string>& without = {});
    const std::string& Path() const { return path_; }
    std::string Executable() const { return path_ + "/quillon"; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Remove(const std::string& name) const;

private:
    testsupport::TempDir root_;
    std::string path_;
};

// One run of the program. Its environment is the test's without LD_LIBRARY_PATH (the
// folder's own libraries must be the only ones found) and without QUILLON_HOME unless
// `home` names one. Killed at destruction if it still runs.
class Quillon {
public:
    Quillon(const ProgramFolder& folder, const QStringList& arguments, const std::string& home = {});
    ~Quillon();

    // Waits until standard output has a line containing `text`.
    bool WaitForOutput(const QString& text, int timeoutMs = 30000);
    // Waits until the process ends; its exit code, or -1 when it did not end normally.
    int WaitForExit(int timeoutMs = 30000);
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    void Signal(int signalNumber);

    QStringList Output();  // standard output, by lines
    QStringList Errors();  // standard error, by lines

private:
    void Collect();

    QProcess process_;
    QByteArray out_, err_;
};

// Runs the program to its end (for short runs such as --send or a refused start).
struct Finished {
    int status = -1;
    QStringList output, errors;
};
Finished RunToEnd(const ProgramFolder& folder, const QStringList& arguments,
                  const std::string& home = {});
