// Binary contract of the locale libraries (libtvLocale<code>.so).
#pragma once

#include "tvExport.h"

// The display text for an English key (malloc'ed, freed by the caller).
TV_EXPORT char* GetResStr(const char* key);
