#include "tvDaHeader.h"

#include "LibraryBinding.h"
#include "TakeText.h"

namespace tvDa {
namespace {

enum Entry : std::size_t {
    eConnectDB, eIsConnected, eQueryIfRecordExists, eQueryRecords, eQueryRecordsEx,
    eInsertRecord, eUpdateRecords, eGetConnection, eDisconnectDB, eDeleteRecords,
    eDeleteAllRecords, eGetTableDataSet, eGetDBPath, eGetSettingValue, eSetSettingValue,
    eBeginTransaction, eEndTransaction
};

tv::LibraryBinding& Lib() {
    static tv::LibraryBinding lib(kFileName,
        {"ConnectDB", "IsConnected", "QueryIfRecordExists", "QueryRecords", "QueryRecordsEx",
         "InsertRecord", "UpdateRecords", "GetConnection", "DisconnectDB", "DeleteRecords",
         "DeleteAllRecords", "GetTableDataSet", "GetDBPath", "GetSettingValue",
         "SetSettingValue", "BeginTransaction", "EndTransaction"});
    return lib;
}

template <typename Fn>
Fn Get(Entry e) { return Lib().Entry<Fn>(e); }

}  // namespace

bool Bind() { return Lib().Load(); }
void Release() { Lib().Release(); }
bool Loaded() { return Lib().Loaded(); }

int32_t ConnectDB(const char* database, const char* user, const char* password, void* appHandle,
                  int flag) {
    auto f = Get<decltype(&::ConnectDB)>(eConnectDB);
    return f ? f(database, user, password, appHandle, flag) : -1;
}
bool IsConnected(int32_t handle) {
    auto f = Get<decltype(&::IsConnected)>(eIsConnected);
    return f && f(handle, 1) != 0;
}
int32_t QueryIfRecordExists(int32_t handle, const char* sql) {
    auto f = Get<decltype(&::QueryIfRecordExists)>(eQueryIfRecordExists);
    return f ? f(handle, sql, 1) : -1;
}
int32_t QueryRecords(int32_t handle, const char* sql, TvDataSet** dataset) {
    *dataset = nullptr;
    auto f = Get<decltype(&::QueryRecords)>(eQueryRecords);
    return f ? f(handle, sql, dataset, 1) : -1;
}
int32_t QueryRecordsEx(int32_t handle, const char* sql, TvDataSet** dataset) {
    *dataset = nullptr;
    auto f = Get<decltype(&::QueryRecordsEx)>(eQueryRecordsEx);
    return f ? f(handle, sql, dataset, 1) : -1;
}
int32_t InsertRecord(int32_t handle, const char* table, const std::vector<std::string>& names,
                     const std::vector<std::string>& values) {
    auto f = Get<decltype(&::InsertRecord)>(eInsertRecord);
    if (!f) return 0;
    std::vector<const char*> n, v;
    n.reserve(names.size());
    v.reserve(values.size());
    for (const auto& s : names) n.push_back(s.c_str());
    for (const auto& s : values) v.push_back(s.c_str());
    return f(handle, table, n.data(), static_cast<int32_t>(n.size()), v.data(),
             static_cast<int32_t>(v.size()), 1);
}
int32_t UpdateRecords(int32_t handle, const char* sql) {
    auto f = Get<decltype(&::UpdateRecords)>(eUpdateRecords);
    return f ? f(handle, sql, 1) : -1;
}
void* GetConnection(int32_t handle) {
    auto f = Get<decltype(&::GetConnection)>(eGetConnection);
    return f ? f(handle, 1) : nullptr;
}
bool DisconnectDB(int32_t handle) {
    auto f = Get<decltype(&::DisconnectDB)>(eDisconnectDB);
    return f && f(handle, 1) != 0;
}
int32_t DeleteRecords(int32_t handle, const char* table, const char* condition) {
    auto f = Get<decltype(&::DeleteRecords)>(eDeleteRecords);
    return f ? f(handle, table, condition, 1) : -1;
}
int32_t DeleteAllRecords(int32_t handle, const char* table) {
    auto f = Get<decltype(&::DeleteAllRecords)>(eDeleteAllRecords);
    return f ? f(handle, table, 1) : -1;
}
int32_t GetTableDataSet(int32_t handle, const char* table, TvDataSet** dataset) {
    *dataset = nullptr;
    auto f = Get<decltype(&::GetTableDataSet)>(eGetTableDataSet);
    return f ? f(handle, table, dataset, 1) : -1;
}
std::string GetDBPath(int32_t handle) {
    auto f = Get<decltype(&::GetDBPath)>(eGetDBPath);
    return f ? tv::TakeText(f(handle, 1)) : std::string();
}
std::string GetSettingValue(int32_t handle, const char* name) {
    auto f = Get<decltype(&::GetSettingValue)>(eGetSettingValue);
    return f ? tv::TakeText(f(handle, name, 1)) : std::string();
}
bool SetSettingValue(int32_t handle, const char* name, const char* value) {
    auto f = Get<decltype(&::SetSettingValue)>(eSetSettingValue);
    return f && f(handle, name, value, 1) != 0;
}
bool BeginTransaction(int32_t handle) {
    auto f = Get<decltype(&::BeginTransaction)>(eBeginTransaction);
    return f && f(handle) != 0;
}
bool EndTransaction(int32_t handle, bool commit) {
    auto f = Get<decltype(&::EndTransaction)>(eEndTransaction);
    return f && f(handle, commit ? 1 : 0) != 0;
}

}  // namespace tvDa
