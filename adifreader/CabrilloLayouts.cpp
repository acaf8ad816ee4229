// SPDX-License-Identifier: GPL-3.0-or-later
#include "CabrilloLayouts.h"

#include "Text.h"

namespace adif {

namespace {

// The contests whose exchange is known: the contest id (a trailing '*'
// matches any rest), then the typed field of each exchange token of the
// sent and the received half, after the call, separated by spaces. "-" is a
// token kept only in the exchange text; a trailing '#' types the token only
// when it is a number, a trailing '!' marks a token that is never a number
// (so a lone 0 or 1 after it is a transmitter). The first matching row wins, so a special case goes
// before its family. To read another contest, add its row.
struct LayoutRow {
    std::string_view contest;
    std::string_view sent;
    std::string_view received;
};

constexpr LayoutRow kLayouts[] = {
    {"CQ-WW-RTTY", "RST_SENT - -", "RST_RCVD CQZ -"},
    {"CQ-WW-*", "RST_SENT -", "RST_RCVD CQZ"},
    {"CQ-WPX-*", "RST_SENT STX", "RST_RCVD SRX"},
    {"IARU-HF", "RST_SENT -", "RST_RCVD ITUZ#"},
    {"ARRL-DX-*", "RST_SENT -", "RST_RCVD -"},
    {"ARRL-10", "RST_SENT -", "RST_RCVD -"},
    {"ARRL-160", "RST_SENT -", "RST_RCVD -"},
    {"CQ-160-*", "RST_SENT -", "RST_RCVD -"},
    {"WAE*", "RST_SENT STX", "RST_RCVD SRX"},
    {"DARC-WAEDC-*", "RST_SENT STX", "RST_RCVD SRX"},
    {"ARRL-SS-*", "STX - - -", "SRX PRECEDENCE CHECK ARRL_SECT"},
    {"NAQP-*", "- -", "NAME STATE!"},
    {"ARRL-FD", "- -", "CLASS ARRL_SECT"},
};

// "CQ WW cw" and "cq_ww_CW" name CQ-WW-CW.
std::string Normalized(std::string_view contest)
{
    std::string out;
    for (unsigned char c : text::Trimmed(contest))
        out += c == ' ' || c == '_' || c == '\t' ? '-' : static_cast<char>(text::AsciiUpper(c));
    return out;
}

bool Matches(std::string_view pattern, std::string_view contest)
{
    if (!pattern.empty() && pattern.back() == '*')
        return contest.substr(0, pattern.size() - 1) == pattern.substr(0, pattern.size() - 1);
    return contest == pattern;
}

std::vector<ExchangeSlot> Slots(std::string_view words)
{
    std::vector<ExchangeSlot> parsed;
    while (!words.empty()) {
        const size_t space = words.find(' ');
        std::string_view word = words.substr(0, space);
        words = space == std::string_view::npos ? std::string_view() : words.substr(space + 1);
        ExchangeSlot slot;
        if (!word.empty() && (word.back() == '#' || word.back() == '!')) {
            slot.takes = word.back() == '#' ? ExchangeSlot::Takes::Number : ExchangeSlot::Takes::Word;
            word.remove_suffix(1);
        }
        if (word != "-")
            slot.name.assign(word);
        parsed.push_back(std::move(slot));
    }
    return parsed;
}

} // namespace

bool FindContestLayout(std::string_view contest, ContestLayout &layout)
{
    const std::string id = Normalized(contest);
    for (const LayoutRow &row : kLayouts) {
        if (Matches(row.contest, id)) {
            layout.sent = Slots(row.sent);
            layout.received = Slots(row.received);
            return true;
        }
    }
    return false;
}

ContestLayout UnknownContestLayout()
{
    ContestLayout layout;
    layout.sent.push_back({"RST_SENT", ExchangeSlot::Takes::Report});
    layout.received.push_back({"RST_RCVD", ExchangeSlot::Takes::Report});
    return layout;
}

} // namespace adif
