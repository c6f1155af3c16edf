// Moving a processed file to the processed folder without ever replacing a file there.
#pragma once

#include <string>

struct MoveOutcome {
    enum Kind {
        Moved,         // to the name it had
        MovedRenamed,  // a file of that name was there: moved under a free name
        Failed,        // left where it was
    };
    Kind kind = Failed;
    std::string target;  // where it went (Moved, MovedRenamed)
    std::string error;   // why not (Failed)
};

// Moves `source` to `target`. When `target` exists, the file goes to the first free name
// "name (2).ext", "name (3).ext" ... beside it. Across file systems the file is copied and
// then removed.
MoveOutcome MoveWithoutReplacing(const std::string& source, const std::string& target);

// "dir/name.ext" numbered as "dir/name (n).ext" ("dir/name (n)" without an extension).
std::string NumberedName(const std::string& path, int n);
