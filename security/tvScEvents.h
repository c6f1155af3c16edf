// Writing the audit trail: one EVENTLOG row per event, on the host's first connection.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

namespace sec {

inline constexpr int32_t kEventOrdinary = 1;
inline constexpr int32_t kEventFailure = 3;

// Appends one event carrying the session user and the local host name. True when the
// data-access library reports exactly one inserted row. The text is taken as it is.
bool NewEvent(const std::string& text, const std::string& moduleName, int32_t eventType);

// An event of the library itself, under ModuleName.
bool LogEvent(const QString& text, int32_t eventType = kEventOrdinary);

// The local host name; empty when it cannot be read.
std::string LocalHostName();

}  // namespace sec
