// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RuntimeError.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// How the keyed collection compares keys: two keys are one key when their
// case folds are equal. Whatever must give keys that never clash uses this.
inline QString FoldKey(const QString &key) { return key.toCaseFolded(); }

// The keyed collection: items in insertion order, addressed by position
// (from 1) or by an optional text key compared without regard to letter case.
// Items are held by value; hold std::shared_ptr items to share records
// between collections.
template <typename T>
class Collection {
    struct Entry {
        T item;
        std::optional<QString> key;
    };

public:
    void Add(const T &item, const std::optional<QString> &key = std::nullopt)
    {
        if (key) {
            const QString folded = Fold(*key);
            if (m_Index.contains(folded))
                throw RuntimeError::KeyExists();
            m_Index.insert(folded, item);
        }
        m_Items.push_back({item, key ? std::optional<QString>(Fold(*key)) : std::nullopt});
    }

    const T &Item(int32_t position) const { return m_Items[Slot(position)].item; }

    const T &Item(const QString &key) const
    {
        const auto it = m_Index.constFind(Fold(key));
        if (it == m_Index.constEnd())
            throw RuntimeError::InvalidCall();
        return it.value();
    }

    bool Contains(const QString &key) const { return m_Index.contains(Fold(key)); }

    void Remove(int32_t position)
    {
        const size_t slot = Slot(position);
        if (m_Items[slot].key)
            m_Index.remove(*m_Items[slot].key);
        m_Items.erase(m_Items.begin() + static_cast<std::ptrdiff_t>(slot));
    }

    int32_t Count() const { return static_cast<int32_t>(m_Items.size()); }

    // In-order iteration over the items.
    class const_iterator {
    public:
        explicit const_iterator(typename std::vector<Entry>::const_iterator it) : m_It(it) {}
        const T &operator*() const { return m_It->item; }
        const_iterator &operator++() { ++m_It; return *this; }
        bool operator!=(const const_iterator &other) const { return m_It != other.m_It; }
    private:
        typename std::vector<Entry>::const_iterator m_It;
    };
    const_iterator begin() const { return const_iterator(m_Items.begin()); }
    const_iterator end() const { return const_iterator(m_Items.end()); }

private:
    static QString Fold(const QString &key) { return FoldKey(key); }

    size_t Slot(int32_t position) const
    {
        if (position < 1 || position > Count())
            throw RuntimeError::SubscriptOutOfRange();
        return static_cast<size_t>(position - 1);
    }

    std::vector<Entry> m_Items;
    QHash<QString, T> m_Index;
};
