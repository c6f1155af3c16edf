// End-to-end rate of one channel: a real `quillon --headless` process with the demo rule
// over generated measurement lines, from the first "Processing file" monitor line to the
// last "Completed processing file" (scan, read, rule, monitor line, one committed insert
// per line, move; the start delay and the process start-up are left out). Beside it, the
// raw per-row-commit insert rate of the same database through the client API
// (bench/insert), measured in a table of its own before and after the run. The goal is
// an end-to-end rate of at least 80 % of the raw rate.
//
// Into a Firebird file always, and into the test MariaDB server (a schema of its own,
// dropped at the end) when QUILLON_TEST_MYSQL is set:
//
//   cmake --build <build> -j2 --target bench_e2e
//   d=$(mktemp -d); scripts/mariadb-test-server.sh start $d     # unless one answers on 33306
//   export QUILLON_TEST_MYSQL=127.0.0.1/33306:quillon_test
//   export QUILLON_TEST_MYSQL_USER=quillon QUILLON_TEST_MYSQL_PASSWORD=quillon
//   <build>/bench_e2e [options]
//   scripts/mariadb-test-server.sh stop $d
//
// (./test.sh starts the same server with the same settings while it runs.)
//
// Options: --lines N (100000)  --files F (10)  --raw-rows R (2000, per raw measurement)
//          --only firebird|mariadb  --timeout S (per run)  --keep (leave the temp folders)
//
// Every commit is a disk flush, so a run with the defaults takes many minutes on a slow
// disk; --lines 20000 gives a quicker figure.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BenchHome.h"
#include "DemoLines.h"
#include "DemoRows.h"
#include "HeadlessRun.h"
#include "RawInsert.h"

namespace fs = std::filesystem;
using namespace benche2e;
using benchinsert::DemoRow;
using benchinsert::MariaDbServer;

namespace {

constexpr double kGoal = 0.80;
const char* const kRawTable = "RAW_INSERT_E2E";

struct Options {
    int lines = 100000;
    int files = 10;
    int rawRows = 2000;
    std::string only;
    double timeoutS = 0;  // 0: from the number of lines
    bool keep = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--lines" && hasValue)
            o.lines = std::atoi(argv[++i]);
        else if (a == "--files" && hasValue)
            o.files = std::atoi(argv[++i]);
        else if (a == "--raw-rows" && hasValue)
            o.rawRows = std::atoi(argv[++i]);
        else if (a == "--only" && hasValue)
            o.only = argv[++i];
        else if (a == "--timeout" && hasValue)
            o.timeoutS = std::atof(argv[++i]);
        else if (a == "--keep")
            o.keep = true;
        else
            return false;
    }
    if (o.timeoutS <= 0) o.timeoutS = 120 + o.lines / 20.0;
    return o.lines > 0 && o.files > 0 && o.files <= 100 && o.rawRows > 0 &&
           (o.only.empty() || o.only == "firebird" || o.only == "mariadb");
}

std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    return fs::path(std::string(buffer, static_cast<size_t>(n))).parent_path().string();
}

// A fresh folder under /tmp, removed at the end unless --keep.
class TempFolder {
public:
    explicit TempFolder(bool keep) : keep_(keep) {
        char pattern[] = "/tmp/quillon-e2e-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        if (path_.empty()) return;
        if (keep_)
            std::printf("kept %s\n", path_.c_str());
        else
            fs::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool keep_;
};

int FilesIn(const std::string& folder) {
    int n = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file()) ++n;
    return n;
}

void PrintFile(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) std::fwrite(buffer, 1, got, stderr);
    std::fclose(in);
}

// What one database needs besides the home: how to measure its raw rate and count its rows.
struct Target {
    std::string name;  // "firebird" or "mariadb"
    std::function<double(const std::vector<DemoRow>&, std::string*)> rawRate;
    std::function<int64_t()> measurementRows;
};

// Raw before, the headless run, raw after; prints the figures. False when something failed.
bool Measure(const Options& o, const BenchHome& home, const Target& target) {
    const std::vector<DemoRow> rawRows = benchinsert::MakeDemoRows(o.rawRows);
    std::string error;
    const double rawBefore = target.rawRate(rawRows, &error);
    if (rawBefore < 0) {
        std::fprintf(stderr, "%s: raw insert failed: %s\n", target.name.c_str(), error.c_str());
        return false;
    }
    error = WriteDemoFiles(home.scanned, o.lines, o.files);
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", target.name.c_str(), error.c_str());
        return false;
    }
    const std::string errors = home.root + "quillon.stderr";
    const RoadFigures road = RunHeadless(ProgramFolder() + "/quillon", home.root, o.files, o.timeoutS, errors);
    if (!road.ok) {
        std::fprintf(stderr, "%s: headless run failed: %s (%d of %d files, %ld lines)\n", target.name.c_str(),
                     road.error.c_str(), road.filesCompleted, o.files, road.linesProcessed);
        PrintFile(errors);
        return false;
    }
    const double rawAfter = target.rawRate(rawRows, &error);
    if (rawAfter < 0) {
        std::fprintf(stderr, "%s: raw insert failed: %s\n", target.name.c_str(), error.c_str());
        return false;
    }

    // Nothing lost: every line a row, every file moved.
    const int64_t rows = target.measurementRows();
    const int moved = FilesIn(home.processed), left = FilesIn(home.scanned);
    const bool complete = rows == o.lines && moved == o.files && left == 0 && road.linesProcessed == o.lines;

    const double e2e = road.roadS > 0 ? o.lines / road.roadS : 0;
    const double raw = (rawBefore + rawAfter) / 2;
    const double ratio = raw > 0 ? e2e / raw : 0;
    const char* n = target.name.c_str();
    std::printf("%s: %d lines in %d files, start-up %.2f s, road %.2f s, %ld monitor lines\n", n, o.lines, o.files,
                road.startupS, road.roadS, road.monitorLines);
    std::printf("%s: rows %lld, files moved %d, left %d%s\n", n, static_cast<long long>(rows), moved, left,
                complete ? "" : "  INCOMPLETE");
    std::printf("%s_e2e_lines_per_second %.1f  (%.0f us per line)\n", n, e2e, e2e > 0 ? 1e6 / e2e : 0);
    std::printf("%s_raw_rows_per_second %.1f  (before %.1f, after %.1f; %.0f us per row)\n", n, raw, rawBefore,
                rawAfter, 1e6 / raw);
    std::printf("%s_ratio %.3f  goal >= %.2f: %s\n", n, ratio, kGoal, ratio >= kGoal ? "met" : "MISSED");
    std::fflush(stdout);
    return complete;
}

bool RunFirebird(const Options& o) {
    TempFolder folder(o.keep);
    BenchHome home;
    std::string error = folder.Path().empty() ? "no temporary folder" : MakeBenchHome(folder.Path(), home);
    if (error.empty()) error = FirebirdStatement(home.firebird, benchinsert::FirebirdDemoTableSql(kRawTable));
    if (!error.empty()) {
        std::fprintf(stderr, "firebird: %s\n", error.c_str());
        return false;
    }
    Target target;
    target.name = "firebird";
    target.rawRate = [&](const std::vector<DemoRow>& rows, std::string* e) {
        return benchinsert::RawFirebirdInsertRate(home.firebird, kRawTable, rows, e);
    };
    target.measurementRows = [&] { return CountRows(home.firebird, "SYSDBA", "plumtrees", "MEASUREMENT"); };
    return Measure(o, home, target);
}

bool RunMariaDb(const Options& o, const MariaDbServer& admin) {
    MariaDbServer server = admin;
    server.schema = "quillon_e2e_" + std::to_string(getpid());
    std::string error = benchinsert::MariaDbStatement(admin, "DROP DATABASE IF EXISTS " + server.schema);
    if (error.empty()) error = benchinsert::MariaDbStatement(admin, "CREATE DATABASE " + server.schema);
    if (!error.empty()) {
        std::fprintf(stderr, "mariadb: %s\n", error.c_str());
        return false;
    }
    bool ok = false;
    {
        TempFolder folder(o.keep);
        BenchHome home;
        error = folder.Path().empty() ? "no temporary folder" : MakeBenchHome(folder.Path(), home);
        if (error.empty())
            error = benchinsert::MariaDbStatement(
                server,
                "CREATE TABLE MEASUREMENT (MEASURED_AT DATETIME, CHANNEL VARCHAR(32), FREQUENCY_HZ DOUBLE, "
                "LEVEL_DBM DOUBLE, SUPPLY_V DOUBLE)");
        if (error.empty()) error = benchinsert::MariaDbStatement(server, benchinsert::MariaDbDemoTableSql(kRawTable));
        if (error.empty()) error = UseMariaDbRepository(home, server);
        if (!error.empty()) {
            std::fprintf(stderr, "mariadb: %s\n", error.c_str());
        } else {
            Target target;
            target.name = "mariadb";
            target.rawRate = [&](const std::vector<DemoRow>& rows, std::string* e) {
                return benchinsert::RawMariaDbInsertRate(server, kRawTable, rows, e);
            };
            target.measurementRows = [&] {
                return CountRows(MariaDbDatabase(server), server.user, server.password, "MEASUREMENT");
            };
            ok = Measure(o, home, target);
        }
    }
    if (!o.keep) benchinsert::MariaDbStatement(admin, "DROP DATABASE IF EXISTS " + server.schema);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: bench_e2e [--lines N] [--files F] [--raw-rows R] [--only firebird|mariadb] "
                     "[--timeout S] [--keep]\n");
        return 2;
    }
    bool ok = true;
    if (o.only.empty() || o.only == "firebird") ok = RunFirebird(o) && ok;
    if (o.only.empty() || o.only == "mariadb") {
        const auto server = TestServer();
        if (server)
            ok = RunMariaDb(o, *server) && ok;
        else
            std::printf("mariadb: skipped (QUILLON_TEST_MYSQL is not set)\n");
    }
    return ok ? 0 : 1;
}
