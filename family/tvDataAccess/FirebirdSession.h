// Firebird back end on the fbclient library (legacy isc API). Character set NONE: bytes
// pass in and out unchanged. Outside a transaction every statement runs in a transaction
// of its own (read committed, waiting up to 30 s for a lock) that is committed before
// the call returns.
#pragma once

#include <ibase.h>

#include <memory>
#include <string>

#include "Session.h"
#include "StatementCache.h"

namespace tvda {

class FirebirdSession final : public Session {
public:
    // `database` is a bare path (the in-process engine opens it) or "host[/port]:path"
    // for a Firebird server.
    static std::unique_ptr<FirebirdSession> Attach(const std::string& database,
                                                   const std::string& user,
                                                   const std::string& password, bool remote);
    ~FirebirdSession() override;

    ResultSetPtr Query(const std::string& sql) override;
    int64_t CountRows(const std::string& sql) override;
    int64_t Execute(const std::string& sql, const std::vector<Param>& params,
                    bool keepPrepared, bool countRows = true) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool LooksAlive() override { return db_ != 0; }
    void* NativeHandle() override { return &db_; }
    std::string Identifier(std::string_view plainName) const override;
    std::string TextLiteral(std::string_view text) const override;
    std::string StoreSettingSql() const override;

    struct Statement;

private:
    FirebirdSession() = default;
    std::unique_ptr<Statement> Prepare(isc_tr_handle* tr, const std::string& sql);
    // Runs a query: `columns` sees the output descriptor once, `row` each fetched row.
    template <typename ColumnsFn, typename RowFn>
    void ForEachRow(const std::string& sql, ColumnsFn&& columns, RowFn&& row);

    isc_db_handle db_ = 0;
    isc_tr_handle userTr_ = 0;  // open between Begin and Commit/Rollback
    StatementCache<Statement> cache_;
};

}  // namespace tvda
