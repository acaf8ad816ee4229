// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Collection.h"
#include "Numbers.h"

#include <QString>
#include <cstdint>
#include <memory>

// One pairing of an ADIF field with a column of the logger's entry window.
// Records are shared by reference between collections; once a record is in
// a collection it is not changed again: a new record takes its place.
class clsEntry {
public:
    QString AdifName;             // the ADIF field copied into the column
    int16_t EntryWindowIndex = 0; // the column's number, from 1
    QString EntryWindowTitle;     // the column's title as the logger gives it
};

// Entries keyed by the decimal text of their column number ("12").
using EntryCollection = Collection<std::shared_ptr<clsEntry>>;
// Field names, each stored under itself as key.
using NameCollection = Collection<QString>;

// The key under which an entry is stored.
inline QString EntryKey(int16_t entryWindowIndex) { return Numbers::DecimalText(entryWindowIndex); }
