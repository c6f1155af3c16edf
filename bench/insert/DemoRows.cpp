#include "DemoRows.h"

#include <cstdio>

namespace benchinsert {

std::vector<DemoRow> MakeDemoRows(int count) {
    std::vector<DemoRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    static const char* units[] = {"V", "mA", "degC", "kPa"};
    for (int i = 0; i < count; ++i) {
        char stamp[32], reading[32];
        std::snprintf(stamp, sizeof stamp, "2024-03-%02d %02d:%02d:%02d.%03d", 1 + i / 86400 % 28,
                      i / 3600 % 24, i / 60 % 60, i % 60, i * 7 % 1000);
        std::snprintf(reading, sizeof reading, "%.4f", 230.0 + (i % 1000) * 0.0137);
        rows.push_back({"PLC-" + std::to_string(i % 16), stamp, "CH" + std::to_string(i % 8),
                        reading, units[i % 4]});
    }
    return rows;
}

std::string FirebirdDemoTableSql(const std::string& table) {
    return "CREATE TABLE " + table +
           " (DEVICE VARCHAR(64), MEASURED_AT TIMESTAMP, CHANNEL VARCHAR(32), READING DOUBLE "
           "PRECISION, UNIT VARCHAR(16))";
}

std::string MariaDbDemoTableSql(const std::string& table) {
    return "CREATE TABLE " + table +
           " (DEVICE VARCHAR(64), MEASURED_AT DATETIME(3), CHANNEL VARCHAR(32), READING DOUBLE, "
           "UNIT VARCHAR(16)) ENGINE=InnoDB DEFAULT CHARSET=latin1";
}

}  // namespace benchinsert
