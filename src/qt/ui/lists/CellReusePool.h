#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace ovira {

// The cells a list keeps for reuse, by reuse identifier, and how to make a
// new cell of each identifier. The pool owns the cells waiting in it.
template <class Cell>
class CellReusePool {
public:
    using Factory = std::function<Cell*()>;

    CellReusePool() = default;
    CellReusePool(const CellReusePool&) = delete;
    CellReusePool& operator=(const CellReusePool&) = delete;
    ~CellReusePool() {
        for (auto& cells : waiting_) qDeleteAll(cells);
    }

    void registerFactory(const QString& identifier, Factory factory) {
        factories_.insert(identifier, std::move(factory));
    }
    // A waiting cell of `identifier`, prepared for reuse; else a new one from
    // its factory; null when the identifier was never registered.
    Cell* take(const QString& identifier) {
        auto& waiting = waiting_[identifier];
        if (!waiting.isEmpty()) {
            Cell* cell = waiting.takeLast();
            cell->prepareForReuse();
            return cell;
        }
        const auto factory = factories_.value(identifier);
        return factory ? factory() : nullptr;
    }
    void put(Cell* cell) { waiting_[cell->reuseIdentifier()].append(cell); }

private:
    QHash<QString, Factory> factories_;
    QHash<QString, QList<Cell*>> waiting_;
};

}  // namespace ovira
