// Export marker shared by the family libraries. Every library is built with hidden
// visibility; only the entries marked here are looked up with dlsym.
#pragma once

#define TV_EXPORT extern "C" __attribute__((visibility("default")))
