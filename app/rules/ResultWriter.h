// Where SaveResult puts a row when the repository is replaced (the dry run prints it).
// Normally an executor has none and writes through the data-access library.
#pragma once

#include <string>
#include <vector>

class ResultWriter {
public:
    virtual ~ResultWriter() = default;
    // One row: the table and the texts of the field names and values (same count).
    // True when it was taken.
    virtual bool WriteRow(const std::string& table, const std::vector<std::string>& names,
                          const std::vector<std::string>& values) = 0;
};
