// Value lists of the parameter block's enumerated fields: what the
// configuration page offers in its drop-down lists and what each entry
// stores. Used both ways: a stored value picks an entry, an entry gives the
// value to store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qx {

struct ValueEntry
{
    std::string_view label; // UTF-8, as the page shows it
    uint32_t value;
};

struct ValueList
{
    std::span<const ValueEntry> entries;
    std::size_t defaultIndex;
    // A value the list knows without a visible entry: stored, it clears the
    // selection (R1BitStop keeps 0 this way).
    bool hasHiddenValue = false;
    uint32_t hiddenValue = 0;
};

// The list of a field by its name (IO1..IO24 share one), or null.
const ValueList *valueListFor(std::string_view fieldName);

struct ValueSelection
{
    enum Kind {
        Entry, // select `index`
        Clear, // the hidden value: no entry selected
        // No entry holds the value: the page shows the number as an entry
        // of its own, so the engineer sees what the module holds, and
        // writes it back unchanged.
        Unlisted,
    } kind = Unlisted;
    std::size_t index = 0;
};

ValueSelection selectionFor(const ValueList &list, uint32_t stored);

} // namespace qx
