// The texts the report box shows around a load and a check, composed from
// the constants of plc_texts.h so that the page and the command line agree.
#pragma once

#include <string>

namespace qx {

enum class SourceLoadVia {
    FileDialog, // "载入工程或源码"
    Refresh,    // "刷新并编译"
};

// The syntax error and what to do next.
std::string sourceLoadFailedReport(const std::string &error, SourceLoadVia via);

// After a passed check (following the preview) or a failed one.
std::string compileOutcomeReport(bool ok);

// The same for a program that came from source text: its hints speak of
// generating a project and of fixing the source.
std::string sourceCompileOutcomeReport(bool ok);

} // namespace qx
