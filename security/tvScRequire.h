// What an export needs before it may start: its family libraries and, for the ones that
// show windows, a running QApplication on the calling thread. A missing piece makes the
// export refuse its work with a clear message instead of calling through an empty slot.
#pragma once

namespace sec {

enum Need : unsigned {
    kNeedData = 1u,     // libtvDataAccess.so
    kNeedGeneral = 2u,  // libtvGeneral.so
    kNeedWindows = 4u,  // a QApplication, called on its thread
};

// True when everything in `needs` is there. Otherwise reports the first missing piece,
// naming `exportName`: as a plain message box when `notify` is set and windows can be
// shown, else as one line on standard error, and returns false.
bool Require(const char* exportName, unsigned needs, bool notify);

}  // namespace sec
