// Rows per second through InsertRecord (one committed row per call, five text columns)
// beside the same rows through the raw client API in the same run, for a Firebird file
// and, when QUILLON_TEST_MYSQL is set, the test MariaDB server. Best of several rounds;
// the ratio is over all rounds, raw and library taking turns in slices of 100 rows.
//
//   bench_insert [--rows N] [--rounds R] [--raw-only]
//
// --raw-only prints just "firebird_raw_rows_per_second X" (and the MariaDB line), for the
// end-to-end benchmark to compare with.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <memory>
#include <string>

#include "DemoRows.h"
#include "RawInsert.h"
#include "tvDataAccessApi.h"

namespace {

using namespace benchinsert;

struct Options {
    int rows = 2000;
    int rounds = 3;
    bool rawOnly = false;
};

std::optional<MariaDbServer> TestServer() {
    const char* db = std::getenv("QUILLON_TEST_MYSQL");
    if (db == nullptr || *db == '\0') return std::nullopt;
    const std::string s = db;
    const auto colon = s.find(':');
    if (colon == std::string::npos) return std::nullopt;
    MariaDbServer m;
    const std::string server = s.substr(0, colon);
    m.schema = s.substr(colon + 1);
    const auto slash = server.find('/');
    m.host = server.substr(0, slash);
    if (slash != std::string::npos) m.port = std::atoi(server.c_str() + slash + 1);
    const char* user = std::getenv("QUILLON_TEST_MYSQL_USER");
    const char* password = std::getenv("QUILLON_TEST_MYSQL_PASSWORD");
    m.user = user ? user : "quillon";
    m.password = password ? password : "quillon";
    return m;
}

// InsertRecord on a connection of the library, shaped like the raw inserters.
class LibraryInserter final : public Inserter {
public:
    LibraryInserter(int32_t handle, std::string table) : handle_(handle), table_(std::move(table)) {}
    ~LibraryInserter() override { DisconnectDB(handle_, 1); }
    bool Insert(const DemoRow& row) override {
        const char* values[5];
        for (int i = 0; i < 5; ++i) values[i] = row[static_cast<std::size_t>(i)].c_str();
        return InsertRecord(handle_, table_.c_str(), kDemoColumns, 5, values, 5, 1) == 1;
    }
    std::string Error() const override { return "InsertRecord failed (see its diagnostic above)"; }

private:
    int32_t handle_;
    std::string table_;
};

struct Figures {
    double raw = -1, library = -1;  // best round, rows per second
    double ratio = -1;              // library against raw over all rounds
};

constexpr std::size_t kSlice = 100;

// Each round inserts the rows through both, in slices of kSlice rows taking turns (the
// side that goes first alternates), so both see the same disk and server conditions.
// Opening the connections and preparing lie outside the timing.
template <typename OpenRaw, typename OpenLibrary>
Figures Measure(const Options& o, const std::vector<DemoRow>& rows, OpenRaw&& openRaw,
                OpenLibrary&& openLibrary, std::string* error) {
    using Clock = std::chrono::steady_clock;
    Figures f;
    double rawTotal = 0, libraryTotal = 0;
    for (int r = 0; r < o.rounds; ++r) {
        std::unique_ptr<Inserter> raw = openRaw(error);
        if (!raw) return {};
        std::unique_ptr<Inserter> library = o.rawOnly ? nullptr : openLibrary(error);
        if (!o.rawOnly && !library) return {};
        double rawTime = 0, libraryTime = 0;
        for (std::size_t begin = 0, slice = 0; begin < rows.size(); begin += kSlice, ++slice) {
            const std::size_t end = std::min(rows.size(), begin + kSlice);
            for (int turn = 0; turn < 2; ++turn) {
                const bool rawTurn = (turn == 0) == (slice % 2 == 0);
                Inserter* side = rawTurn ? raw.get() : library.get();
                if (side == nullptr) continue;
                const auto start = Clock::now();
                for (std::size_t i = begin; i < end; ++i) {
                    if (!side->Insert(rows[i])) {
                        *error = side->Error();
                        return {};
                    }
                }
                (rawTurn ? rawTime : libraryTime) += std::chrono::duration<double>(Clock::now() - start).count();
            }
        }
        const auto n = static_cast<double>(rows.size());
        f.raw = std::max(f.raw, n / rawTime);
        rawTotal += rawTime;
        if (library) {
            f.library = std::max(f.library, n / libraryTime);
            libraryTotal += libraryTime;
        }
    }
    if (libraryTotal > 0) f.ratio = rawTotal / libraryTotal;
    return f;
}

void Print(const Options& o, const char* what, const char* key, const Figures& f) {
    if (o.rawOnly) {
        std::printf("%s_raw_rows_per_second %.0f\n", key, f.raw);
        return;
    }
    std::printf("%-40s raw %7.0f rows/s   InsertRecord %7.0f rows/s   ratio %.3f\n", what, f.raw,
                f.library, f.ratio);
}

int Usage() {
    std::fprintf(stderr, "usage: bench_insert [--rows N] [--rounds R] [--raw-only]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
            o.rows = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            o.rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--raw-only") == 0)
            o.rawOnly = true;
        else
            return Usage();
    }
    if (o.rows < 1 || o.rounds < 1) return Usage();
    const std::vector<DemoRow> rows = MakeDemoRows(o.rows);
    const std::string table = "DA_BENCH_" + std::to_string(::getpid());
    if (!o.rawOnly)
        std::printf("%d rows x %d rounds (best), one committed row per call, 5 text columns\n",
                    o.rows, o.rounds);
    int status = 0;

    char dirTemplate[] = "/tmp/bench-insert.XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (dir == nullptr) return 1;
    const std::string path = std::string(dir) + "/bench.fdb";
    if (std::string e = CreateFirebirdDemoFile(path, table); !e.empty()) {
        std::fprintf(stderr, "bench_insert: creating %s: %s\n", path.c_str(), e.c_str());
        status = 1;
    } else {
        std::string error;
        const Figures f = Measure(
            o, rows, [&](std::string* e) { return OpenRawFirebird(path, table, e); },
            [&](std::string* e) -> std::unique_ptr<Inserter> {
                const int32_t h = ConnectDB(path.c_str(), "SYSDBA", "plumtrees", nullptr, 1);
                if (h < 0) *e = "ConnectDB failed";
                return h < 0 ? nullptr : std::make_unique<LibraryInserter>(h, table);
            },
            &error);
        if (f.raw < 0) {
            std::fprintf(stderr, "bench_insert: Firebird: %s\n", error.c_str());
            status = 1;
        } else {
            Print(o, "Firebird (in-process file)", "firebird", f);
        }
    }
    std::filesystem::remove_all(dir);

    if (const auto server = TestServer()) {
        if (std::string e = MariaDbStatement(*server, MariaDbDemoTableSql(table)); !e.empty()) {
            std::fprintf(stderr, "bench_insert: MariaDB: %s\n", e.c_str());
            return 1;
        }
        const std::string database =
            server->host + "/" + std::to_string(server->port) + ":" + server->schema;
        std::string error;
        const Figures f = Measure(
            o, rows, [&](std::string* e) { return OpenRawMariaDb(*server, table, e); },
            [&](std::string* e) -> std::unique_ptr<Inserter> {
                const int32_t h = ConnectDB(database.c_str(), server->user.c_str(),
                                            server->password.c_str(), nullptr, 1);
                if (h < 0) *e = "ConnectDB failed";
                return h < 0 ? nullptr : std::make_unique<LibraryInserter>(h, table);
            },
            &error);
        MariaDbStatement(*server, "DROP TABLE " + table);
        if (f.raw < 0) {
            std::fprintf(stderr, "bench_insert: MariaDB: %s\n", error.c_str());
            return 1;
        }
        Print(o, ("MariaDB (" + database + ")").c_str(), "mariadb", f);
    } else if (!o.rawOnly) {
        std::printf("MariaDB: skipped (QUILLON_TEST_MYSQL is not set)\n");
    }
    return status;
}
