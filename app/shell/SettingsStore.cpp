#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QRegularExpression>
#include <memory>
#include <vector>

#include "ChannelObj.h"
#include "ChannelObjList.h"
#include "ExePath.h"
#include "MainWindowInterface.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScHeader.h"

namespace {

std::string Text(const TvDataSet& row, const char* field) {
    const char* value = nullptr;
    return row.FieldAsText(field, &value) && value != nullptr ? std::string(value) : std::string();
}

// The integer of a column; `otherwise` when it is null or not a number.
int64_t Integer(const TvDataSet& row, const char* field, int64_t otherwise) {
    int64_t value = 0;
    return row.FieldAsInteger(field, &value) ? value : otherwise;
}

std::string Deciphered(const std::string& stored) { return tvSc::Decrypt(stored).value_or(std::string()); }

std::string Flag(bool on) { return on ? "1" : "0"; }

QString AutostartFolder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    return config + "/autostart";
}

// An Exec value: the path quoted when it holds characters the entry format treats apart.
QString ExecValue(const std::string& command) {
    QString path = QString::fromLocal8Bit(command);
    if (!path.contains(QRegularExpression(QStringLiteral("[\\s\"'\\\\$`]")))) return path;
    path.replace("\\", "\\\\\\\\").replace("\"", "\\\"").replace("$", "\\$").replace("`", "\\`");
    return "\"" + path + "\"";
}

}  // namespace

std::string SettingsDBPath() { return ExePath() + SettingsDBFile; }

bool SetRunAtStartup(const std::string& valueName, const std::string& command, bool remove) {
    const QString file = AutostartFolder() + "/" + QString::fromLocal8Bit(valueName) + ".desktop";
    if (remove) return !QFile::exists(file) || QFile::remove(file);
    if (!QDir().mkpath(AutostartFolder())) return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    const QString entry = "[Desktop Entry]\nType=Application\nName=" + QString::fromLocal8Bit(valueName) +
                          "\nExec=" + ExecValue(command) + "\n";
    out.write(entry.toUtf8());
    return out.commit();
}

SettingsStore::SettingsStore(IMainWindow& window) : window_(window) {}

SettingsStore::~SettingsStore() { CloseSettingsDatabase(); }

bool SettingsStore::OpenSettingsDatabase(void* appHandle) {
    const std::string path = SettingsDBPath();
    window_.LogMessage("Connecting to database \"" + path + "\".");
    mainConnection_ = tvDa::ConnectDB(path.c_str(), SettingsDBUser, SettingsDBPassword, appHandle, 1);
    // This line is written whatever the outcome, as it always was; a failure gets a line
    // of its own so that it does not pass unnoticed.
    window_.LogMessage("Database \"" + path + "\" connected.");
    if (mainConnection_ < 0) {
        window_.LogMessage("Error: the database \"" + path +
                           "\" could not be opened; the settings are not available.");
        return false;
    }
    return true;
}

void SettingsStore::CloseSettingsDatabase() {
    if (mainConnection_ >= 0 && tvDa::DisconnectDB(mainConnection_)) mainConnection_ = -1;
}

void SettingsStore::LoadSettings(bool reload) {
    TChannelObjList& live = window_.LiveChannels();
    TChannelObjList& edit = window_.EditChannels();
    bool wasRunning = false;
    for (const auto& channel : live) wasRunning = wasRunning || channel->Running;

    window_.LogMessage("Loading settings.");
    window_.bbnStopClick();
    live.Clear();
    edit.Clear();

    options_.LoadOnStartup = tvGn::GetInitSettingBool("System", "Load on Windows startup", IniFileName, false);
    options_.LogEventsToFile = tvGn::GetInitSettingBool("System", "Log Event", IniFileName, false);
    options_.HideOnStartup = tvGn::GetInitSettingBool("System", "Load on Startup", IniFileName, false);
    options_.ProtectSettings = tvGn::GetInitSettingBool("Security", "Protect Settings", IniFileName, false);
    options_.SettingsPassword = Deciphered(tvGn::GetInitSettingStr("Security", "Password", IniFileName, ""));
    window_.ShowOptions(options_, reload);

    TvDataSet* dataset = nullptr;
    if (tvDa::QueryRecords(mainConnection_, "SELECT * FROM CHANNEL_SETTING ORDER BY DESCRIPTION", &dataset) >= 0 &&
        dataset != nullptr) {
        int32_t n = 0;
        for (dataset->First(); !dataset->Eof(); dataset->Next(), ++n) {
            auto a = std::make_unique<TChannelObj>(&window_);
            a->Description = Text(*dataset, "DESCRIPTION");
            a->ScannedLocation = Text(*dataset, "SCANNED_LOCATION");
            a->ProcessedLocation = Text(*dataset, "PROCESSED_LOCATION");
            a->FileExt = Text(*dataset, "FILE_EXTENSION");
            a->FileNameStartsWith = Text(*dataset, "FILE_NAME_STARTS_WITH");
            a->FileNameEndsWith = Text(*dataset, "FILE_NAME_ENDS_WITH");
            a->Disabled = Integer(*dataset, "DISABLED", 0) == 1;
            a->ScanInterval = static_cast<int32_t>(Integer(*dataset, "SCAN_INTERVAL", a->ScanInterval));
            a->Logged = Integer(*dataset, "LOGGED", 0) == 1;
            a->RuleFile = Text(*dataset, "RULE_FILE");
            a->DBType = Text(*dataset, "DB_TYPE");
            a->DBServerName = Text(*dataset, "DB_SERVER_NAME");
            a->DBName = Text(*dataset, "DB_NAME");
            a->DBUserName = Text(*dataset, "DB_USER_NAME");
            a->DBPassword = Deciphered(Text(*dataset, "DB_PASSWORD"));
            a->LogFile = ExePath() + a->Description + ".log";
            a->ChannelID = n;
            auto b = std::make_unique<TChannelObj>();
            b->Assign(*a);
            live.Add(std::move(a));
            edit.Add(std::move(b));
        }
    }
    tvDa::FreeDataSet(dataset);
    window_.ShowChannels();

    SettingsModified = false;
    window_.LogMessage("Settings loaded.");
    if (wasRunning) window_.bbnStartClick();
}

bool SettingsStore::WriteChannels() {
    static const std::vector<std::string> names = {
        "ID",        "DESCRIPTION",   "SCANNED_LOCATION", "PROCESSED_LOCATION", "FILE_EXTENSION", "FILE_NAME_STARTS_WITH",
        "FILE_NAME_ENDS_WITH", "DISABLED", "SCAN_INTERVAL", "LOGGED", "RULE_FILE", "DB_TYPE", "DB_SERVER_NAME",
        "DB_NAME",   "DB_USER_NAME",  "DB_PASSWORD"};
    int32_t i = 0;
    for (const auto& channel : window_.EditChannels()) {
        // A password is never stored in plain text: without the cipher the save fails.
        const std::optional<std::string> password = tvSc::Encrypt(channel->DBPassword);
        if (!password) return false;
        const std::vector<std::string> values = {std::to_string(i + 1),
                                                 channel->Description,
                                                 channel->ScannedLocation,
                                                 channel->ProcessedLocation,
                                                 channel->FileExt,
                                                 channel->FileNameStartsWith,
                                                 channel->FileNameEndsWith,
                                                 Flag(channel->Disabled),
                                                 std::to_string(channel->ScanInterval),
                                                 Flag(channel->Logged),
                                                 channel->RuleFile,
                                                 channel->DBType,
                                                 channel->DBServerName,
                                                 channel->DBName,
                                                 channel->DBUserName,
                                                 *password};
        if (tvDa::InsertRecord(mainConnection_, "CHANNEL_SETTING", names, values) < 1) return false;
        ++i;
    }
    return true;
}

SettingsStore::SaveResult SettingsStore::Save(const SystemOptions& shown, const std::string& confirmPassword) {
    if (shown.ProtectSettings && shown.SettingsPassword != confirmPassword) {
        tvGn::ShowMsg("Password and Confirm Password do not match!", tvMsgWarning, tvBtnOK, 0);
        return SaveResult::PasswordMismatch;
    }
    // The delete and the inserts are one transaction: a failed insert leaves the stored
    // channels exactly as they were before the save.
    if (!tvDa::BeginTransaction(mainConnection_)) {
        tvGn::ShowMsg("Error saving Settings!", tvMsgError, tvBtnOK, 0);
        return SaveResult::Failed;
    }
    if (tvDa::DeleteRecords(mainConnection_, "CHANNEL_SETTING", "ID = ID") < 0) {
        tvDa::EndTransaction(mainConnection_, false);
        return SaveResult::NotEmptied;
    }
    if (!WriteChannels()) {
        tvDa::EndTransaction(mainConnection_, false);
        tvGn::ShowMsg("Error saving Settings!", tvMsgError, tvBtnOK, 0);
        return SaveResult::Failed;
    }
    if (!tvDa::EndTransaction(mainConnection_, true)) {
        tvGn::ShowMsg("Error saving Settings!", tvMsgError, tvBtnOK, 0);
        return SaveResult::Failed;
    }

    tvGn::SetInitSettingBool("System", "Load on Windows startup", shown.LoadOnStartup, IniFileName);
    SetRunAtStartup(RunAtStartupName, ExePath() + "quillon", !shown.LoadOnStartup);
    tvGn::SetInitSettingBool("System", "Log Event", shown.LogEventsToFile, IniFileName);
    tvGn::SetInitSettingBool("System", "Load on Startup", shown.HideOnStartup, IniFileName);
    tvGn::SetInitSettingBool("Security", "Protect Settings", shown.ProtectSettings, IniFileName);
    tvGn::SetInitSettingStr("Security", "Password", tvSc::Encrypt(shown.SettingsPassword).value_or(std::string()),
                            IniFileName);
    SettingsModified = false;
    tvGn::ShowMsg("Settings saved!", tvMsgInformation, tvBtnOK, 0);
    LoadSettings(true);
    return SaveResult::Saved;
}
