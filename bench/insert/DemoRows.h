// The rows the insert benchmarks write: what a rule makes of one measurement line, five
// values as texts (device, time stamp, channel, reading, unit).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace benchinsert {

using DemoRow = std::array<std::string, 5>;

inline constexpr const char* kDemoColumns[5] = {"DEVICE", "MEASURED_AT", "CHANNEL", "READING", "UNIT"};

std::vector<DemoRow> MakeDemoRows(int count);

// CREATE TABLE text of the demo table for each back end.
std::string FirebirdDemoTableSql(const std::string& table);
std::string MariaDbDemoTableSql(const std::string& table);

}  // namespace benchinsert
