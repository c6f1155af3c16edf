#include "ConnectionTable.h"

#include <limits>

#include "Diagnostics.h"

namespace tvda {

int32_t ConnectionTable::Add(std::shared_ptr<Connection> connection) {
    std::lock_guard lock(mutex_);
    if (next_ == std::numeric_limits<int32_t>::max()) throw DbError("no connection handles left");
    const int32_t handle = next_++;
    connection->SetHandle(handle);
    open_.emplace(handle, std::move(connection));
    return handle;
}

std::shared_ptr<Connection> ConnectionTable::Find(int32_t handle) const {
    std::lock_guard lock(mutex_);
    const auto it = open_.find(handle);
    if (it == open_.end())
        throw DbError(handle >= 0 && handle < next_ ? "connection handle " + std::to_string(handle) + " is closed"
                                                    : "unknown connection handle " + std::to_string(handle));
    return it->second;
}

std::shared_ptr<Connection> ConnectionTable::Remove(int32_t handle) {
    std::lock_guard lock(mutex_);
    const auto it = open_.find(handle);
    if (it == open_.end()) return nullptr;
    auto connection = std::move(it->second);
    open_.erase(it);
    return connection;
}

ConnectionTable& Connections() {
    static ConnectionTable table;
    return table;
}

}  // namespace tvda
