// The process's numbered connections. Handles are issued from 0 in order and never
// reused, so a stale handle can only name a closed connection, never somebody else's.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "Connection.h"

namespace tvda {

class ConnectionTable {
public:
    int32_t Add(std::shared_ptr<Connection> connection);
    // The open connection of `handle`; throws DbError when unknown or closed. The caller's
    // reference keeps it alive even if another thread disconnects meanwhile.
    std::shared_ptr<Connection> Find(int32_t handle) const;
    // Takes the connection out of the table; null when unknown or closed.
    std::shared_ptr<Connection> Remove(int32_t handle);

private:
    mutable std::mutex mutex_;
    std::unordered_map<int32_t, std::shared_ptr<Connection>> open_;
    int32_t next_ = 0;
};

// The one table of the process.
ConnectionTable& Connections();

}  // namespace tvda
