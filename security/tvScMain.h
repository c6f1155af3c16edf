// Library-wide state of libtvSecurity.so, defined beside the exports and the load-time
// binding in tvScMain.cpp. It exists once per loaded library, lives from load to unload
// and is used from the host's GUI thread only, so it carries no locks.
#pragma once

#include <cstdint>
#include <string>

namespace sec {

// The logged-in user; empty when no one is logged in. Written into every event.
extern std::string SessionUserID;
// USERS.USER_LEVEL_ID of the logged-in user; 0 when no one is logged in.
extern int32_t SessionUserLevel;
// Module name of the library's own events: "Security" until loading has finished, then
// the locale's text for that key.
extern std::string ModuleName;
// Runs of the login dialog's OKBtnClick since load; never reset.
extern int32_t LoginAttempts;

// The library's date format, used wherever it writes a date for people to read (purge
// messages, the event-log viewer, the date pickers). `ShortDateFormat` uses yyyy, yy, mm,
// m, dd, d; each '/' in it stands for `DateSeparator`.
extern char DateSeparator;
extern std::string ShortDateFormat;

inline constexpr char kDefaultDateSeparator = '-';
inline constexpr const char* kDefaultShortDateFormat = "yyyy/mm/dd";

// Back to the logged-out state.
void ClearSession();
// Empties the library-wide texts (at unload).
void ClearLibraryTexts();

}  // namespace sec
