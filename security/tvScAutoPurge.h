// The event log's automatic expiry, run before every login dialog.
#pragma once

namespace sec {

// Whole number of months after which events expire; "-1" for none.
inline constexpr const char* kExpirySetting = "EVENTLOG_RECORDS_EXPIRY_MONTHS";

// Deletes the events dated before today moved back by the stored number of months. A
// missing setting, one that is not a whole number, and any negative count purge nothing:
// a setting we cannot read must never cost events. The result is not reported.
void RunAutoPurge();

}  // namespace sec
