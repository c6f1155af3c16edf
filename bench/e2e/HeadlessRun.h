// One real `quillon --headless` process watched through its monitor lines on standard
// output: when the first file was taken up and when the last one was completed.
#pragma once

#include <string>

namespace benche2e {

struct RoadFigures {
    bool ok = false;
    std::string error;       // why the run is not usable
    double startupS = 0;     // process start to the first "Processing file" line
    double roadS = 0;        // first "Processing file" to the last "Completed processing file"
    int filesCompleted = 0;
    long linesProcessed = 0;  // "Processing line" monitor lines
    long monitorLines = 0;
    int exitStatus = -1;      // after SIGTERM; 0 is a clean end
};

// Runs `program` --headless with QUILLON_HOME = `home` until `files` files have been
// completed (or `timeoutS` passed, or a file failed), then ends it with SIGTERM.
// Standard error goes to `errorFile`.
RoadFigures RunHeadless(const std::string& program, const std::string& home, int files, double timeoutS,
                        const std::string& errorFile);

}  // namespace benche2e
