// The fully fetched result of a query as it crosses the library boundary (TvDataSet).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tvDataAccessApi.h"

namespace tvda {

// One field value. The text is what FieldAsText hands out; `integer` and `number` keep
// the typed value where the column has one, so that reading a number or a date-time does
// not go through the text again.
struct Cell {
    enum class Kind : uint8_t { Null, Text, Integer, Decimal, Float, DateTime, Boolean };

    Kind kind = Kind::Null;
    std::string text;
    int64_t integer = 0;  // Integer, Boolean
    double number = 0;    // Decimal, Float; DateTime: days since 1899-12-30

    static Cell Null() { return {}; }
    static Cell Text(std::string text);
    static Cell Integer(int64_t value);
    static Cell Decimal(std::string text);  // plain decimal text, e.g. "3.50"
    static Cell Float(double value, std::string text);
    static Cell DateTime(double days, std::string text);
    static Cell Boolean(bool value);
};

class ResultSet final : public TvDataSet {
public:
    explicit ResultSet(std::vector<std::string> names);

    void AddRow(std::vector<Cell> row) { rows_.push_back(std::move(row)); }
    std::size_t RowCount() const { return rows_.size(); }

    int32_t RecordCount() const override;
    void First() override;
    void Next() override;
    int Eof() const override;
    int32_t RecNo() const override;
    int MoveTo(int32_t row) override;

    int32_t FieldCount() const override;
    const char* FieldName(int32_t index) const override;
    int32_t FieldIndex(const char* name) const override;

    int FieldAsText(const char* name, const char** out) const override;
    int FieldAsInteger(const char* name, int64_t* out) const override;
    int FieldAsDateTime(const char* name, double* out) const override;
    int FieldIsNull(const char* name) const override;
    int FieldTextAt(int32_t index, const char** out) const override;

    void Free() override;

private:
    ~ResultSet() = default;  // through Free() only
    // The cell of the current row, or null after reporting why there is none.
    const Cell* CellOf(const char* accessor, const char* name) const;
    const Cell* CurrentCell(const char* accessor, const std::string& what, int32_t index) const;

    std::vector<std::string> names_;
    std::vector<std::vector<Cell>> rows_;
    int32_t current_ = 0;
};

// Owner of a dataset until it is handed to the caller (release()).
struct FreeResultSet {
    void operator()(ResultSet* set) const { set->Free(); }
};
using ResultSetPtr = std::unique_ptr<ResultSet, FreeResultSet>;

}  // namespace tvda
