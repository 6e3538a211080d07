// Report box texts around loads and checks.
#include "plc_reports.h"

#include "plc_texts.h"

namespace qx {

std::string sourceLoadFailedReport(const std::string &error, SourceLoadVia via)
{
    using namespace plc_texts;
    return error + "\r\n" + kReportSourceFailed + kReportYouNeedTo + kReportFixSource
        + (via == SourceLoadVia::FileDialog ? kReportReloadAny : kReportReloadSource) + kReportRule;
}

std::string compileOutcomeReport(bool ok)
{
    using namespace plc_texts;
    if (ok)
        return std::string(kReportCompileOk) + kReportYouCanNow + kReportSaveHint + kReportDownloadHint
            + kReportRamFlashNote + kReportRule;
    return std::string(kReportCompileFailed) + kReportYouNeedTo + kReportFixProject + kReportReloadAny
        + kReportRule;
}

std::string sourceCompileOutcomeReport(bool ok)
{
    using namespace plc_texts;
    if (ok)
        return std::string(kReportCompileOk) + kReportYouCanNow + kReportSaveSourceHint
            + kReportDownloadSourceHint + kReportRamFlashNote + kReportRule;
    return std::string(kReportCompileFailed) + kReportYouNeedTo + kReportFixSourceParameters + kReportReloadAny
        + kReportRule;
}

} // namespace qx
