// MariaDB/MySQL back end on MariaDB Connector/C. The connection character set is latin1:
// every byte value is a character there, so 8-bit texts round-trip unchanged whatever the
// columns' character set (latin1 columns store the bytes as they are). UPDATE reports the
// rows it matched, as Firebird does, not only those it changed.
#pragma once

#include <memory>
#include <string>

#include "Session.h"
#include "StatementCache.h"

struct st_mysql;
struct st_mysql_stmt;

namespace tvda {

class MariaDbSession final : public Session {
public:
    // port 0: the default port; an explicit port always connects over TCP.
    static std::unique_ptr<MariaDbSession> Connect(const std::string& host, int port,
                                                   const std::string& schema,
                                                   const std::string& user,
                                                   const std::string& password);
    ~MariaDbSession() override;

    ResultSetPtr Query(const std::string& sql) override;
    int64_t CountRows(const std::string& sql) override;
    int64_t Execute(const std::string& sql, const std::vector<Param>& params,
                    bool keepPrepared, bool countRows = true) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool LooksAlive() override;
    void* NativeHandle() override { return mysql_; }
    std::string Identifier(std::string_view plainName) const override;
    std::string TextLiteral(std::string_view text) const override;
    std::string StoreSettingSql() const override;

    struct Statement;

private:
    MariaDbSession() = default;
    [[noreturn]] void Fail(bool mayHaveRun) const;
    void RunText(const std::string& sql, bool mayHaveRun);

    st_mysql* mysql_ = nullptr;
    StatementCache<Statement> cache_;
};

}  // namespace tvda
