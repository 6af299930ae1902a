#pragma once
// What can be taken from a damaged project: the objects before the damage, with the
// settings read before it, and a new project's settings for the rest.

#include <cstddef>
#include <vector>

#include "io/LineList.h"
#include "io/ParseReport.h"

namespace ov {

class clsStream;

// Reads into record the lines of the file that come before its damage, as report names it
// (the file keeps only those lines afterwards),
// leaving out the record the damage cuts short (an object, or a settings record) but keeping
// the complete objects of a group it cuts short. recordLines gets the line of each top-level
// item that came from the file. Returns whether the record holds any object.
bool ReadRecoverable(LineList& file, const ParseReport& report, clsStream& record,
                     std::vector<std::size_t>& recordLines);

// Adds the settings a project record lacks (all but the tree) with the values of a new
// project, so that the view volume, the camera and the styles are usable. Returns whether
// any was missing.
bool TakeNewProjectSettings(clsStream& record);

// Whether the record's tree holds any object.
bool HoldsObjects(const clsStream& record);

} // namespace ov
