#include "ProgramFolder.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <filesystem>

namespace fs = std::filesystem;

bool Built(const std::string& file) { return fs::exists(testsupport::BuildDir() + "/" + file); }

bool AllLibrariesBuilt() { return Built(kDataAccess) && Built(kGeneral) && Built(kSecurity); }

ProgramFolder::ProgramFolder(const std::string& subPath, const std::set<std::string>& without)
    : path_(root_.Path() + "/" + subPath) {
    fs::create_directories(path_);
    const fs::path build = testsupport::BuildDir();
    std::vector<std::string> names = {"quillon", "QUILLON.GDB"};
    for (const auto& entry : fs::directory_iterator(build)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("libtv", 0) == 0 && entry.path().extension() == ".so") names.push_back(name);
    }
    for (const std::string& name : names) {
        if (without.count(name) != 0 || !fs::exists(build / name)) continue;
        fs::copy_file(build / name, path_ + "/" + name);
    }
}

void ProgramFolder::Remove(const std::string& name) const { fs::remove(File(name)); }

static QProcessEnvironment Environment(const std::string& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LD_LIBRARY_PATH");
    env.remove("QUILLON_HOME");
    if (!home.empty()) env.insert("QUILLON_HOME", QString::fromStdString(home));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

Quillon::Quillon(const ProgramFolder& folder, const QStringList& arguments, const std::string& home) {
    process_.setProcessEnvironment(Environment(home));
    process_.setWorkingDirectory(QString::fromStdString(folder.Path()));
    process_.start(QString::fromStdString(folder.Executable()), arguments);
    process_.waitForStarted();
}

Quillon::~Quillon() {
    if (Running()) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void Quillon::Collect() {
    out_ += process_.readAllStandardOutput();
    err_ += process_.readAllStandardError();
}

static QStringList Lines(const QByteArray& text) {
    QStringList lines = QString::fromLocal8Bit(text).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

bool Quillon::WaitForOutput(const QString& text, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        Collect();
        if (QString::fromLocal8Bit(out_).contains(text)) return true;
        if (!Running() || deadline.hasExpired()) return false;
        process_.waitForReadyRead(static_cast<int>(std::min<qint64>(100, deadline.remainingTime())));
    }
}

int Quillon::WaitForExit(int timeoutMs) {
    if (Running() && !process_.waitForFinished(timeoutMs)) return -1;
    Collect();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

void Quillon::Signal(int signalNumber) { ::kill(static_cast<pid_t>(process_.processId()), signalNumber); }

QStringList Quillon::Output() {
    Collect();
    return Lines(out_);
}

QStringList Quillon::Errors() {
    Collect();
    return Lines(err_);
}

Finished RunToEnd(const ProgramFolder& folder, const QStringList& arguments, const std::string& home) {
    Quillon run(folder, arguments, home);
    Finished result;
    result.status = run.WaitForExit();
    result.output = run.Output();
    result.errors = run.Errors();
    return result;
}
