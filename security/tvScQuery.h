// Query results of the data-access library, owned and freed by their holder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tvDaHeader.h"

namespace sec {

struct DataSetFree {
    void operator()(TvDataSet* dataset) const {
        if (dataset != nullptr) dataset->Free();
    }
};
using DataSetPtr = std::unique_ptr<TvDataSet, DataSetFree>;

// QueryRecords on the host's first connection; null when the query failed.
inline DataSetPtr Query(const std::string& sql) {
    TvDataSet* dataset = nullptr;
    tvDa::QueryRecords(0, sql.c_str(), &dataset);
    return DataSetPtr(dataset);
}

// A field of the current row as text; empty for null, a missing field or no row.
inline std::string FieldText(const TvDataSet& dataset, const char* name) {
    const char* text = nullptr;
    return dataset.FieldAsText(name, &text) == 1 && text != nullptr ? std::string(text)
                                                                     : std::string();
}

// A field of the current row as integer; `fallback` for null, a missing field or no row.
inline int64_t FieldInteger(const TvDataSet& dataset, const char* name, int64_t fallback = 0) {
    int64_t value = 0;
    return dataset.FieldAsInteger(name, &value) == 1 ? value : fallback;
}

}  // namespace sec
