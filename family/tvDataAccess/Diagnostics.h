// Failure reporting of the data-access library. Inside the library a failed operation
// throws DbError; each exported entry catches it and writes exactly one line on standard
// error naming the entry, its arguments and the cause.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tvda {

class DbError : public std::runtime_error {
public:
    enum class Kind { Failed, ConnectionLost };

    explicit DbError(const std::string& message, Kind kind = Kind::Failed,
                     bool mayHaveRun = false)
        : std::runtime_error(message), kind_(kind), mayHaveRun_(mayHaveRun) {}

    Kind kind() const { return kind_; }
    bool connectionLost() const { return kind_ == Kind::ConnectionLost; }
    // For a lost connection: whether the server may have applied the statement before the
    // connection broke (then repeating it could apply it twice).
    bool mayHaveRun() const { return mayHaveRun_; }

private:
    Kind kind_;
    bool mayHaveRun_;
};

// A text argument as it appears in a diagnostic: quoted, control characters blanked,
// cut after a readable length. Null shows as null.
std::string Quoted(const char* text);
std::string Quoted(std::string_view text);

// Writes "tvDataAccess: <context>: <cause>" as one line with one write, so lines of
// concurrent threads never interleave. Line breaks inside the cause are flattened.
void Report(std::string_view context, std::string_view cause);

}  // namespace tvda
