#include "DatabaseTarget.h"

#include "Diagnostics.h"
#include "NumberText.h"

namespace tvda {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

bool IsFirebirdFileName(std::string_view database) {
    if (!database.empty() && database.front() == '/') return true;
    if (database.size() < 4) return false;
    const auto ext = database.substr(database.size() - 4);
    return EqualsIgnoringCase(ext, ".fdb") || EqualsIgnoringCase(ext, ".gdb");
}

}  // namespace

DatabaseTarget ParseDatabaseTarget(std::string_view text) {
    DatabaseTarget t;
    if (text.empty()) throw DbError("no database given");
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        t.kind = DatabaseTarget::Kind::FirebirdLocal;
        t.database = std::string(text);
        return t;
    }
    const auto server = text.substr(0, colon);
    const auto database = text.substr(colon + 1);
    if (server.empty()) throw DbError("no server name before ':'");
    if (database.empty()) throw DbError("no database name after ':'");
    if (EqualsIgnoringCase(server, "embedded")) {
        t.kind = DatabaseTarget::Kind::FirebirdLocal;
        t.database = std::string(database);
        return t;
    }

    const auto slash = server.find('/');
    t.host = std::string(server.substr(0, slash));
    if (t.host.empty()) throw DbError("no host name before '/'");
    if (slash != std::string_view::npos) {
        const auto port = ParseInteger(server.substr(slash + 1));
        if (!port || *port < 1 || *port > 65535)
            throw DbError("bad port " + Quoted(server.substr(slash + 1)));
        t.port = static_cast<int>(*port);
    }
    if (IsFirebirdFileName(database)) {
        t.kind = DatabaseTarget::Kind::FirebirdServer;
        t.database = std::string(text);  // the Firebird client reads host/port:path itself
    } else {
        t.kind = DatabaseTarget::Kind::MariaDb;
        t.database = std::string(database);
    }
    return t;
}

}  // namespace tvda
