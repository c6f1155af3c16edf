// English locale: the keys are English texts already, so each key is its own display text.
#include <cstdlib>
#include <cstring>

#include "tvLocaleApi.h"

TV_EXPORT char* GetResStr(const char* key) { return strdup(key != nullptr ? key : ""); }
