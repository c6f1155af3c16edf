#include "ResultSet.h"

#include <limits>

#include "CalendarTime.h"
#include "Diagnostics.h"
#include "NumberText.h"

namespace tvda {
namespace {

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

std::string Context(const char* accessor, const std::string& what) {
    return std::string(accessor) + "(" + what + ")";
}

}  // namespace

Cell Cell::Text(std::string text) {
    Cell c;
    c.kind = Kind::Text;
    c.text = std::move(text);
    return c;
}

Cell Cell::Integer(int64_t value) {
    Cell c;
    c.kind = Kind::Integer;
    c.integer = value;
    c.number = static_cast<double>(value);
    c.text = std::to_string(value);
    return c;
}

Cell Cell::Decimal(std::string text) {
    Cell c;
    c.kind = Kind::Decimal;
    c.number = ParseNumber(text).value_or(0);
    c.text = std::move(text);
    return c;
}

Cell Cell::Float(double value, std::string text) {
    Cell c;
    c.kind = Kind::Float;
    c.number = value;
    c.text = std::move(text);
    return c;
}

Cell Cell::DateTime(double days, std::string text) {
    Cell c;
    c.kind = Kind::DateTime;
    c.number = days;
    c.text = std::move(text);
    return c;
}

Cell Cell::Boolean(bool value) {
    Cell c;
    c.kind = Kind::Boolean;
    c.integer = value ? 1 : 0;
    c.number = static_cast<double>(c.integer);
    c.text = value ? "1" : "0";
    return c;
}

ResultSet::ResultSet(std::vector<std::string> names) : names_(std::move(names)) {}

int32_t ResultSet::RecordCount() const {
    return rows_.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(rows_.size());
}

void ResultSet::First() { current_ = 0; }

void ResultSet::Next() {
    if (current_ < RecordCount()) ++current_;
}

int ResultSet::Eof() const { return current_ >= RecordCount() ? 1 : 0; }

int32_t ResultSet::RecNo() const { return current_; }

int ResultSet::MoveTo(int32_t row) {
    if (row < 0 || row >= RecordCount()) return 0;
    current_ = row;
    return 1;
}

int32_t ResultSet::FieldCount() const { return static_cast<int32_t>(names_.size()); }

const char* ResultSet::FieldName(int32_t index) const {
    if (index < 0 || index >= FieldCount()) return nullptr;
    return names_[static_cast<std::size_t>(index)].c_str();
}

int32_t ResultSet::FieldIndex(const char* name) const {
    if (name == nullptr) return -1;
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (SameNameIgnoringCase(names_[i], name)) return static_cast<int32_t>(i);
    return -1;
}

const Cell* ResultSet::CurrentCell(const char* accessor, const std::string& what,
                                   int32_t index) const {
    if (index < 0) {
        Report(Context(accessor, what), "no such field");
        return nullptr;
    }
    if (current_ >= RecordCount()) {
        Report(Context(accessor, what), "no current row");
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(current_)][static_cast<std::size_t>(index)];
}

const Cell* ResultSet::CellOf(const char* accessor, const char* name) const {
    return CurrentCell(accessor, Quoted(name), FieldIndex(name));
}

int ResultSet::FieldAsText(const char* name, const char** out) const {
    const Cell* c = CellOf("FieldAsText", name);
    if (c == nullptr || out == nullptr) return -1;
    *out = c->text.c_str();  // "" for null
    return c->kind == Cell::Kind::Null ? 0 : 1;
}

int ResultSet::FieldTextAt(int32_t index, const char** out) const {
    const int32_t i = index >= 0 && index < FieldCount() ? index : -1;
    const Cell* c = CurrentCell("FieldTextAt", std::to_string(index), i);
    if (c == nullptr || out == nullptr) return -1;
    *out = c->text.c_str();
    return c->kind == Cell::Kind::Null ? 0 : 1;
}

int ResultSet::FieldAsInteger(const char* name, int64_t* out) const {
    const Cell* c = CellOf("FieldAsInteger", name);
    if (c == nullptr || out == nullptr) return -1;
    std::optional<int64_t> value;
    switch (c->kind) {
    case Cell::Kind::Null: *out = 0; return 0;
    case Cell::Kind::Integer:
    case Cell::Kind::Boolean: value = c->integer; break;
    case Cell::Kind::Decimal:
    case Cell::Kind::Float: value = RoundToInteger(c->number); break;
    case Cell::Kind::Text: value = ParseInteger(c->text); break;
    case Cell::Kind::DateTime: break;
    }
    if (!value) {
        Report(Context("FieldAsInteger", Quoted(name)), Quoted(c->text) + " is not a whole number");
        return -1;
    }
    *out = *value;
    return 1;
}

int ResultSet::FieldAsDateTime(const char* name, double* out) const {
    const Cell* c = CellOf("FieldAsDateTime", name);
    if (c == nullptr || out == nullptr) return -1;
    switch (c->kind) {
    case Cell::Kind::Null: *out = 0; return 0;
    case Cell::Kind::DateTime:
    case Cell::Kind::Integer:
    case Cell::Kind::Decimal:
    case Cell::Kind::Float: *out = c->number; return 1;
    case Cell::Kind::Text:
        if (const auto t = ParseCalendarTime(c->text)) {
            *out = DateTimeNumber(DaysSince1899(t->year, t->month, t->day), t->micros);
            return 1;
        }
        break;
    case Cell::Kind::Boolean: break;
    }
    Report(Context("FieldAsDateTime", Quoted(name)), Quoted(c->text) + " is not a date or time");
    return -1;
}

int ResultSet::FieldIsNull(const char* name) const {
    const Cell* c = CellOf("FieldIsNull", name);
    if (c == nullptr) return -1;
    return c->kind == Cell::Kind::Null ? 1 : 0;
}

void ResultSet::Free() { delete this; }

}  // namespace tvda
