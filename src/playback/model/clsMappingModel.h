// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clsEntry.h"

#include <memory>

// The field mapping model: the logger's columns, the mapping in force and
// the file's field names. The main window owns it and hands it to the
// mapping dialog, which reads all three and replaces the mapping on "OK".
// Collections are replaced, never emptied in place, so a collection that
// someone still holds never changes under them.
class clsMappingModel {
public:
    std::shared_ptr<EntryCollection> m_FieldPropertyNames;  // the mapping in force, in fill order
    std::shared_ptr<EntryCollection> m_VantrelEntryColumns; // the logger's columns that take ADIF data
    std::shared_ptr<NameCollection> m_CandidateNames;       // the file's field names
};
