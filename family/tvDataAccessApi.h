// Binary contract of libtvDataAccess.so: the entries the family programs bind by name,
// and the dataset interface that query results cross the boundary as.
//
// Texts are 8-bit, NUL-terminated. A text returned by an entry is malloc'ed and the caller
// frees it with free(). Booleans are int (0/1); connection handles are int32_t, negative
// meaning "no connection". The trailing `flag` argument is 1 at every call site.
#pragma once

#include <cstdint>

#include "tvExport.h"

// A query result, fully fetched. Rows are visited with First/Next until Eof. Fields are
// addressed by column name (case-insensitive) or by 0-based index. Accessors never throw:
// they return 1 for a value, 0 for SQL NULL (the out value is then "" / 0) and -1 when the
// field does not exist or there is no current row (out value untouched).
// Texts handed out stay valid until the dataset is freed.
class TvDataSet {
public:
    virtual int32_t RecordCount() const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual int Eof() const = 0;
    // Current row, 0-based; RecordCount() when past the end. MoveTo returns 0 when out of range.
    virtual int32_t RecNo() const = 0;
    virtual int MoveTo(int32_t row) = 0;

    virtual int32_t FieldCount() const = 0;
    virtual const char* FieldName(int32_t index) const = 0;  // nullptr when out of range
    virtual int32_t FieldIndex(const char* name) const = 0;  // -1 when not present

    virtual int FieldAsText(const char* name, const char** out) const = 0;
    virtual int FieldAsInteger(const char* name, int64_t* out) const = 0;
    // Date-time as days since 1899-12-30 with the time of day as fraction.
    virtual int FieldAsDateTime(const char* name, double* out) const = 0;
    virtual int FieldIsNull(const char* name) const = 0;  // 1 null, 0 not null, -1 no field
    virtual int FieldTextAt(int32_t index, const char** out) const = 0;

    // Releases the dataset; the pointer is invalid afterwards.
    virtual void Free() = 0;

protected:
    ~TvDataSet() = default;
};

// Opens a connection. `database` is a local Firebird file path (no ':'), or
// "server:database" split at the first ':'; a server may carry a port as "host/port".
// Returns the new handle (0, 1, 2 ... in order) or a negative value on failure.
TV_EXPORT int32_t ConnectDB(const char* database, const char* user, const char* password,
                            void* appHandle, int flag);
TV_EXPORT int IsConnected(int32_t handle, int flag);
// Number of rows the query yields; -1 on failure.
TV_EXPORT int32_t QueryIfRecordExists(int32_t handle, const char* sql, int flag);
// On success *dataset holds a new dataset (caller frees it) and the record count is
// returned; on failure *dataset is null and -1 is returned.
TV_EXPORT int32_t QueryRecords(int32_t handle, const char* sql, TvDataSet** dataset, int flag);
TV_EXPORT int32_t QueryRecordsEx(int32_t handle, const char* sql, TvDataSet** dataset, int flag);
// Inserts one row, values bound as parameters. 1 when inserted; anything else is a failure.
TV_EXPORT int32_t InsertRecord(int32_t handle, const char* table, const char* const* names,
                               int32_t nameCount, const char* const* values, int32_t valueCount,
                               int flag);
// Runs any non-query statement; rows affected, -1 on failure.
TV_EXPORT int32_t UpdateRecords(int32_t handle, const char* sql, int flag);
// The native client handle of a connection (opaque), null when none.
TV_EXPORT void* GetConnection(int32_t handle, int flag);
TV_EXPORT int DisconnectDB(int32_t handle, int flag);
// DELETE FROM table WHERE condition; rows deleted, -1 on failure.
TV_EXPORT int32_t DeleteRecords(int32_t handle, const char* table, const char* condition, int flag);
TV_EXPORT int32_t DeleteAllRecords(int32_t handle, const char* table, int flag);
TV_EXPORT int32_t GetTableDataSet(int32_t handle, const char* table, TvDataSet** dataset, int flag);
// The database text the connection was opened with (malloc'ed), "" for an unknown handle.
TV_EXPORT char* GetDBPath(int32_t handle, int flag);
// The stored text of a named setting (malloc'ed), "" when absent or on failure.
TV_EXPORT char* GetSettingValue(int32_t handle, const char* name, int flag);
TV_EXPORT int SetSettingValue(int32_t handle, const char* name, const char* value, int flag);
// Between these two nothing is committed until EndTransaction(handle, 1);
// EndTransaction(handle, 0) rolls back. Both return 1 on success.
TV_EXPORT int BeginTransaction(int32_t handle);
TV_EXPORT int EndTransaction(int32_t handle, int commit);
