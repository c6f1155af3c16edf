// One fixture over both back ends: each test runs against a fresh Firebird file (through
// the in-process engine) and against the test MariaDB server, in a schema of this test
// process, with the same tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "tvDataAccessApi.h"

namespace datest {

enum class Backend { Firebird, MariaDb };
std::string BackendName(const testing::TestParamInfo<Backend>& info);

class DataAccess : public testing::TestWithParam<Backend> {
protected:
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    bool IsFirebird() const { return GetParam() == Backend::Firebird; }
    // The statement text for this back end.
    const char* Sql(const char* firebird, const char* mariadb) const {
        return IsFirebird() ? firebird : mariadb;
    }
    // A further connection to the test database.
    int32_t Connect() const;
    // COUNT(*) of SAMPLE rows matching `where` (all rows when empty) through handle h.
    int64_t CountRows(int32_t h, const std::string& where = {}) const;
    // The server-side id of h's session, and a kill of it from another connection that
    // returns once the server has closed it.
    int64_t SessionId(int32_t h) const;
    void KillSession(int64_t id) const;

    int32_t Insert(int32_t h, const std::vector<std::string>& names,
                   const std::vector<const char*>& values, const char* table = "SAMPLE") const;

    std::string database_, user_, password_;
    int32_t h_ = -1;  // the test's main connection

private:
    testsupport::TempDir dir_;
};

// The lines written to standard error while `fn` ran.
std::vector<std::string> StderrLines(const std::function<void()>& fn);

// Frees a dataset on every way out of a test.
struct DataSetGuard {
    TvDataSet* set = nullptr;
    ~DataSetGuard() {
        if (set != nullptr) set->Free();
    }
};

}  // namespace datest
