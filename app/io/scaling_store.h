// The one set of scaling tables of a run. The application owns it; the
// AI/AO page replaces it by loading a scaling file ("加载量纲文件") and the
// PLC compiler reads it whenever it checks or builds a program, so both
// always see the same tables.
#pragma once

#include <string>

#include "scaling_file.h"

namespace qx {

class ScalingStore
{
public:
    // Program start: no noise, coefficient 1.0, unit raw, not valid.
    const ScalingTables &tables() const { return m_tables; }

    // The file's tables replace the current ones whatever the outcome: a
    // file that cannot be read or lacks a key leaves every entry and the
    // valid flag 0 until a good file is loaded.
    ScalingLoadResult load(const std::string &path);

private:
    ScalingTables m_tables;
};

} // namespace qx
