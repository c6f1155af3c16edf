// The exported entries. Each one catches everything: a failure becomes the entry's
// failure result and one line on standard error naming the entry and the cause.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "ConnectionTable.h"
#include "Diagnostics.h"
#include "tvDataAccessApi.h"

namespace tvda {
namespace {

// Runs `body`; on any exception reports "<context()>: <cause>" and returns `failure`.
// The context is only built when something failed.
template <typename R, typename Context, typename Body>
R Guarded(R failure, Context&& context, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& e) {
        try {
            Report(context(), e.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            Report(context(), "unexpected internal error");
        } catch (...) {
        }
    }
    return failure;
}

std::string Call(const char* entry, int32_t handle) {
    return std::string(entry) + "(" + std::to_string(handle) + ")";
}

std::string Call(const char* entry, int32_t handle, const char* text) {
    return std::string(entry) + "(" + std::to_string(handle) + ", " + Quoted(text) + ")";
}

int32_t Clamp(int64_t n) {
    return n > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                    : static_cast<int32_t>(n);
}

const char* Text(const char* s) { return s == nullptr ? "" : s; }

std::string RequireSql(const char* sql) {
    if (sql == nullptr || *sql == '\0') throw DbError("no statement given");
    return sql;
}

// A malloc'ed copy for the caller to free; null only when memory is exhausted.
char* MallocCopy(const std::string& s) {
    char* out = static_cast<char*>(std::malloc(s.size() + 1));
    if (out != nullptr) std::memcpy(out, s.c_str(), s.size() + 1);
    return out;
}

int32_t HandOut(ResultSetPtr result, TvDataSet** dataset) {
    const int32_t count = result->RecordCount();
    *dataset = result.release();
    return count;
}

int32_t QueryInto(const char* entry, int32_t handle, const char* sql, TvDataSet** dataset) {
    if (dataset != nullptr) *dataset = nullptr;
    return Guarded(
        int32_t{-1}, [&] { return Call(entry, handle, sql); },
        [&] {
            if (dataset == nullptr) throw DbError("no dataset variable given");
            return HandOut(Connections().Find(handle)->Query(RequireSql(sql)), dataset);
        });
}

}  // namespace
}  // namespace tvda

using namespace tvda;

TV_EXPORT int32_t ConnectDB(const char* database, const char* user, const char* password,
                            void* /*appHandle*/, int /*flag*/) {
    return Guarded(
        int32_t{-1}, [&] { return "ConnectDB(" + Quoted(database) + ")"; },
        [&] {
            if (database == nullptr) throw DbError("no database given");
            std::shared_ptr<Connection> c = Connection::Open(database, Text(user), Text(password));
            return Connections().Add(std::move(c));
        });
}

TV_EXPORT int IsConnected(int32_t handle, int /*flag*/) {
    // A question, not an operation: an unknown handle is simply not connected.
    return Guarded(
        0, [&] { return Call("IsConnected", handle); },
        [&] {
            try {
                return Connections().Find(handle)->IsConnected() ? 1 : 0;
            } catch (const DbError&) {
                return 0;
            }
        });
}

TV_EXPORT int32_t QueryIfRecordExists(int32_t handle, const char* sql, int /*flag*/) {
    return Guarded(
        int32_t{-1}, [&] { return Call("QueryIfRecordExists", handle, sql); },
        [&] { return Clamp(Connections().Find(handle)->CountRows(RequireSql(sql))); });
}

TV_EXPORT int32_t QueryRecords(int32_t handle, const char* sql, TvDataSet** dataset, int /*flag*/) {
    return QueryInto("QueryRecords", handle, sql, dataset);
}

TV_EXPORT int32_t QueryRecordsEx(int32_t handle, const char* sql, TvDataSet** dataset,
                                 int /*flag*/) {
    return QueryInto("QueryRecordsEx", handle, sql, dataset);
}

TV_EXPORT int32_t InsertRecord(int32_t handle, const char* table, const char* const* names,
                               int32_t nameCount, const char* const* values, int32_t valueCount,
                               int /*flag*/) {
    return Guarded(
        int32_t{0}, [&] { return Call("InsertRecord", handle, table); },
        [&] {
            std::shared_ptr<Connection> c = Connections().Find(handle);
            c->Insert(table, names, nameCount, values, valueCount);
            return int32_t{1};
        });
}

TV_EXPORT int32_t UpdateRecords(int32_t handle, const char* sql, int /*flag*/) {
    return Guarded(
        int32_t{-1}, [&] { return Call("UpdateRecords", handle, sql); },
        [&] { return Clamp(Connections().Find(handle)->Execute(RequireSql(sql))); });
}

TV_EXPORT void* GetConnection(int32_t handle, int /*flag*/) {
    return Guarded(
        static_cast<void*>(nullptr), [&] { return Call("GetConnection", handle); },
        [&] { return Connections().Find(handle)->NativeHandle(); });
}

TV_EXPORT int DisconnectDB(int32_t handle, int /*flag*/) {
    return Guarded(
        0, [&] { return Call("DisconnectDB", handle); },
        [&] {
            std::shared_ptr<Connection> c = Connections().Remove(handle);
            if (!c) Connections().Find(handle);  // throws the reason
            c->Close();  // waits for a call that another thread is running on it
            return 1;
        });
}

TV_EXPORT int32_t DeleteRecords(int32_t handle, const char* table, const char* condition,
                                int /*flag*/) {
    return Guarded(
        int32_t{-1},
        [&] {
            return "DeleteRecords(" + std::to_string(handle) + ", " + Quoted(table) + ", " +
                   Quoted(condition) + ")";
        },
        [&] { return Clamp(Connections().Find(handle)->DeleteWhere(table, condition)); });
}

TV_EXPORT int32_t DeleteAllRecords(int32_t handle, const char* table, int /*flag*/) {
    return Guarded(
        int32_t{-1}, [&] { return Call("DeleteAllRecords", handle, table); },
        [&] { return Clamp(Connections().Find(handle)->DeleteAll(table)); });
}

TV_EXPORT int32_t GetTableDataSet(int32_t handle, const char* table, TvDataSet** dataset,
                                  int /*flag*/) {
    if (dataset != nullptr) *dataset = nullptr;
    return Guarded(
        int32_t{-1}, [&] { return Call("GetTableDataSet", handle, table); },
        [&] {
            if (dataset == nullptr) throw DbError("no dataset variable given");
            return HandOut(Connections().Find(handle)->Table(table), dataset);
        });
}

TV_EXPORT char* GetDBPath(int32_t handle, int /*flag*/) {
    std::string path = Guarded(
        std::string(), [&] { return Call("GetDBPath", handle); },
        [&] { return Connections().Find(handle)->Database(); });
    return MallocCopy(path);
}

TV_EXPORT char* GetSettingValue(int32_t handle, const char* name, int /*flag*/) {
    std::string value = Guarded(
        std::string(), [&] { return Call("GetSettingValue", handle, name); },
        [&] { return Connections().Find(handle)->GetSetting(name); });
    return MallocCopy(value);
}

TV_EXPORT int SetSettingValue(int32_t handle, const char* name, const char* value, int /*flag*/) {
    return Guarded(
        0, [&] { return Call("SetSettingValue", handle, name); },
        [&] {
            Connections().Find(handle)->SetSetting(name, value);
            return 1;
        });
}

TV_EXPORT int BeginTransaction(int32_t handle) {
    return Guarded(
        0, [&] { return Call("BeginTransaction", handle); },
        [&] {
            Connections().Find(handle)->Begin();
            return 1;
        });
}

TV_EXPORT int EndTransaction(int32_t handle, int commit) {
    return Guarded(
        0,
        [&] { return "EndTransaction(" + std::to_string(handle) + ", " + std::to_string(commit) + ")"; },
        [&] {
            Connections().Find(handle)->End(commit != 0);
            return 1;
        });
}
