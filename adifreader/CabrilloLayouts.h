// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace adif {

// One exchange token's typed field: its ADIF name, empty when the token is
// kept only in the exchange text, and which tokens it takes: any, only a
// number (the IARU zone, where societies send their name instead), or only
// what looks like a signal report (a contest not in the table).
struct ExchangeSlot {
    enum class Takes { Any, Number, Report, Word }; // Word: never a number
    std::string name;
    Takes takes = Takes::Any;
};

// The exchange layout of a contest: the tokens each half holds after its
// call, sent and received.
struct ContestLayout {
    std::vector<ExchangeSlot> sent;
    std::vector<ExchangeSlot> received;
};

// The layout of the contest a CONTEST: value names (letter case, spaces and
// underscores aside); false for a contest not in the table.
bool FindContestLayout(std::string_view contest, ContestLayout &layout);

// The layout assumed for a contest not in the table: a report first in each
// half, when the token looks like one.
ContestLayout UnknownContestLayout();

} // namespace adif
