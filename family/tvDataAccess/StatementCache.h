// Prepared statements of one session, kept by statement text, least recently used
// dropped first. A caller that builds many different column lists cannot exhaust the
// server's statement limit.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

namespace tvda {

template <typename Statement>
class StatementCache {
public:
    explicit StatementCache(std::size_t capacity = 64) : capacity_(capacity) {}

    // The statement kept for `sql`, or null.
    Statement* Find(const std::string& sql) {
        const auto it = index_.find(sql);
        if (it == index_.end()) return nullptr;
        order_.splice(order_.begin(), order_, it->second);
        return it->second->second.get();
    }

    Statement* Keep(const std::string& sql, std::unique_ptr<Statement> statement) {
        Drop(sql);
        if (order_.size() >= capacity_) {
            index_.erase(order_.back().first);
            order_.pop_back();
        }
        order_.emplace_front(sql, std::move(statement));
        index_[sql] = order_.begin();
        return order_.front().second.get();
    }

    void Drop(const std::string& sql) {
        const auto it = index_.find(sql);
        if (it == index_.end()) return;
        order_.erase(it->second);
        index_.erase(it);
    }

    void Clear() {
        index_.clear();
        order_.clear();
    }

private:
    using Entry = std::pair<std::string, std::unique_ptr<Statement>>;
    std::size_t capacity_;
    std::list<Entry> order_;
    std::unordered_map<std::string, typename std::list<Entry>::iterator> index_;
};

}  // namespace tvda
