#pragma once
// What parsing a whole text into a record found wrong with it, for messages that name the
// place, and what a reader needs to take what comes before that place.

#include <cstddef>
#include <string>
#include <vector>

namespace ov {

struct ParseReport {
    // The line of the first damage, counted from 1; 0 when the text is sound.
    std::size_t DamageLine = 0;
    // The damage with its place and what was expected there, as "line 1,098: '}' expected
    // to close the record 'Tree' begun at line 2".
    std::string Damage;
    // Whether the damage is data that is not text at all (bytes no text line holds).
    bool NotText = false;
    // The records still open where the text ended: the last item of the top level, the
    // last item of that record, and so on, this many levels down.
    std::size_t OpenRecords = 0;
    // The line of each top-level item, in the order of the record's items.
    std::vector<std::size_t> TopLevelLines;
};

// "line 1,098": a line number as messages name it, its thousands grouped.
std::string LineText(std::size_t line);
// "1,098": a count as messages name it.
std::string GroupedNumberText(std::size_t number);

} // namespace ov
