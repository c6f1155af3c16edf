// Binary contract of libtvGeneral.so: message boxes, INI settings, log files, array texts.
// Texts returned are malloc'ed and freed by the caller; arrays returned through an out
// pointer are malloc'ed too (for string arrays each item and the array itself).
#pragma once

#include <cstdint>

#include "tvExport.h"

// Message kinds and button sets of ShowMsg.
enum TvMsgKind : int { tvMsgWarning = 0, tvMsgError = 1, tvMsgInformation = 2, tvMsgConfirmation = 3 };
enum TvMsgButton : int { tvBtnYes = 1, tvBtnNo = 2, tvBtnOK = 4, tvBtnCancel = 8 };
// Answers of ShowMsg.
enum TvMsgResult : int { tvResOK = 1, tvResCancel = 2, tvResYes = 6, tvResNo = 7 };

TV_EXPORT int CheckAlphaNum(const char* text);
// A modal message box; returns the button pressed. Safe from any thread: from a worker it
// is shown by the main thread while the worker waits. Without a GUI the text goes to
// standard error and the default button is returned.
TV_EXPORT int ShowMsg(const char* text, int kind, int buttons, int helpContext);
TV_EXPORT char* SerializeArrayInt(const int32_t* items, int32_t count, char separator);
TV_EXPORT char* SerializeArrayStr(const char* const* items, int32_t count, char separator);
// Integers of a text written by SerializeArrayInt with ';'. Returns the count; *items is
// malloc'ed (null for an empty result).
TV_EXPORT int32_t GetArrayInt(const char* text, int32_t** items);
// Strings of a text written by SerializeArrayStr with `separator`.
TV_EXPORT int32_t GetArrayStr(const char* text, char separator, char*** items);
// Remove item `index` in place; return the new count (the old count when out of range).
TV_EXPORT int32_t RemoveArrayItemStr(char** items, int32_t count, int32_t index);
TV_EXPORT int32_t RemoveArrayItemInt(int32_t* items, int32_t count, int32_t index);
TV_EXPORT int32_t RemoveArrayItemDbl(double* items, int32_t count, int32_t index);
// A bare INI file name is resolved in the program folder.
TV_EXPORT char* GetInitSettingStr(const char* section, const char* key, const char* fileName,
                                  const char* defaultValue);
TV_EXPORT int GetInitSettingBool(const char* section, const char* key, const char* fileName,
                                 int defaultValue);
TV_EXPORT int SetInitSettingStr(const char* section, const char* key, const char* value,
                                const char* fileName);
TV_EXPORT int SetInitSettingBool(const char* section, const char* key, int value,
                                 const char* fileName);
// Appends `text` as one line; creates the file. Returns 1 on success.
TV_EXPORT int AddLog(const char* text, const char* fileName);
// The amount in English words.
TV_EXPORT char* VerboseAmount(double amount);
