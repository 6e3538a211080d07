// `qxcli plc`: the programming page's load, check, preview and save flows,
// printed as the page writes them into its report box.
#include "plc_command.h"

#include <optional>

#include "cli_output.h"
#include "file_bytes.h"
#include "plc_compiler.h"
#include "plc_project.h"
#include "plc_project_file.h"
#include "plc_reports.h"
#include "plc_source_loader.h"
#include "plc_texts.h"
#include "scaling_file.h"

namespace qx::cli {

namespace {

constexpr const char *kUsage =
    "usage:\n"
    "  qxcli plc check   FILE(.txt|.qprj) [--password PW] [--scaling FILE.txt]\n"
    "  qxcli plc preview FILE [--password PW] [--scaling FILE.txt] [--block N]\n"
    "  qxcli plc build   SOURCE.txt --password PW -o OUT.qprj [--scaling FILE.txt]\n"
    "  qxcli plc image   FILE --scaling FILE.txt [--password PW] -o IMAGE.bin\n"
    "exit status: 0 success, 1 check failed, 2 load, syntax or file error\n";

struct Options {
    std::string action;
    std::string file;
    std::optional<std::string> password;
    std::optional<std::string> scaling;
    std::optional<std::string> output;
    std::optional<int> block;
};

int usageError(const std::string &why)
{
    printErr("qxcli plc: " + why + "\n" + kUsage);
    return kExitError;
}

std::optional<int> parseBlockNumber(const std::string &text)
{
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Fills `o`; returns an empty string or what is wrong.
std::string parseOptions(const std::vector<std::string> &args, Options &o)
{
    if (args.empty())
        return "missing action";
    o.action = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&](std::optional<std::string> &slot) -> std::string {
            if (i + 1 >= args.size())
                return a + " needs a value";
            slot = args[++i];
            return {};
        };
        std::string err;
        if (a == "--password") {
            err = value(o.password);
        } else if (a == "--scaling") {
            err = value(o.scaling);
        } else if (a == "-o") {
            err = value(o.output);
        } else if (a == "--block") {
            std::optional<std::string> text;
            err = value(text);
            if (err.empty()) {
                o.block = parseBlockNumber(*text);
                if (!o.block)
                    err = "--block takes a block number 0..99";
            }
        } else if (!a.empty() && a[0] == '-') {
            err = "unknown option " + a;
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            err = "more than one FILE";
        }
        if (!err.empty())
            return err;
    }
    if (o.file.empty())
        return "missing FILE";
    return {};
}

bool isProjectFile(const std::string &path)
{
    const std::string ext = ".qprj";
    if (path.size() < ext.size())
        return false;
    std::string tail = path.substr(path.size() - ext.size());
    for (char &c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ext;
}

// The check with its report, then the preview and the closing texts, which
// differ for a source text and a project file.
bool checkAndReport(const Options &o, const PlcProject &project, const ScalingTables &scaling)
{
    const CheckResult check = checkPlcProject(project, scaling);
    printOut(check.report);
    if (check.ok)
        printOut(previewPlcProject(project));
    printOut(isProjectFile(o.file) ? compileOutcomeReport(check.ok) : sourceCompileOutcomeReport(check.ok));
    return check.ok;
}

int runCheck(const Options &o)
{
    const auto scaling = loadScaling(o.scaling);
    if (!scaling)
        return kExitError;
    const auto project = loadProgram(o.file, o.password, true);
    if (!project)
        return kExitError;
    return checkAndReport(o, *project, *scaling) ? kExitOk : kExitCheckFailed;
}

int runPreview(const Options &o)
{
    if (!loadScaling(o.scaling))
        return kExitError;
    const auto project = loadProgram(o.file, o.password, false);
    if (!project)
        return kExitError;
    printOut(o.block ? previewPlcProject(*project, true, *o.block) : previewPlcProject(*project));
    return kExitOk;
}

int runBuild(const Options &o)
{
    if (!o.output)
        return usageError("build needs -o OUT.qprj");
    const std::string password = o.password.value_or("");
    const std::string passwordError = passwordEntriesError(password, password);
    if (!passwordError.empty()) {
        printErr(passwordError + "\n");
        return kExitError;
    }
    if (isProjectFile(o.file))
        return usageError("build takes a source text (.txt)");
    const auto scaling = loadScaling(o.scaling);
    if (!scaling)
        return kExitError;
    const auto project = loadProgram(o.file, o.password, true);
    if (!project)
        return kExitError;
    if (!checkAndReport(o, *project, *scaling))
        return kExitCheckFailed;
    const ProjectSaveResult saved = saveProjectFile(*o.output, *project, password, password);
    if (!saved.ok) {
        printErr(saved.message + (saved.message.ends_with('\n') ? "" : "\n"));
        return kExitError;
    }
    printOut(saved.message + "\n");
    return kExitOk;
}

int runImage(const Options &o)
{
    if (!o.output)
        return usageError("image needs -o IMAGE.bin");
    if (!o.scaling)
        return usageError("image needs --scaling FILE.txt");
    const auto scaling = loadScaling(o.scaling);
    if (!scaling)
        return kExitError;
    const auto project = loadProgram(o.file, o.password, true);
    if (!project)
        return kExitError;
    // as before a download: no image of a program that fails its check
    if (!checkAndReport(o, *project, *scaling)) {
        printErr(std::string(plc_texts::kFixSyntaxFirst) + "\n");
        return kExitCheckFailed;
    }
    const ProgramImage image = buildProgramImage(*project, *scaling);
    const FileWriteResult w = writeFileAtomically(
        *o.output, std::string_view(reinterpret_cast<const char *>(image.bytes.data()), image.bytes.size()));
    if (!w.ok) {
        printErr(w.message);
        return kExitError;
    }
    return kExitOk;
}

} // namespace

std::optional<ScalingTables> loadScaling(const std::optional<std::string> &path)
{
    if (!path)
        return ScalingTables();
    const ScalingLoadResult r = loadScalingFile(*path);
    if (!r.complete) {
        printErr(r.message + "\n");
        return std::nullopt;
    }
    for (const std::string &m : r.channelMessages)
        printErr(m + "\n");
    return r.tables;
}

std::optional<PlcProject> loadProgram(const std::string &file, const std::optional<std::string> &password,
                                      bool report)
{
    if (isProjectFile(file)) {
        if (!password || password->empty()) {
            printErr(std::string(plc_texts::kPasswordEmpty) + "\n");
            return std::nullopt;
        }
        ProjectLoadResult r = loadProjectFile(file, *password);
        if (!r.ok) {
            printErr(r.message + (r.message.ends_with('\n') ? "" : "\n"));
            return std::nullopt;
        }
        if (report)
            printOut(plc_texts::kReportCompilingProject);
        return std::move(r.project);
    }
    if (report)
        printOut(plc_texts::kReportLoadingSource);
    PlcProject project;
    const SourceLoadResult r = loadPlcSourceFile(file, project);
    if (r.code == SourceLoadResult::FileError) {
        printErr(r.message + (r.message.ends_with('\n') ? "" : "\n"));
        return std::nullopt;
    }
    if (r.code == SourceLoadResult::SyntaxError) {
        printOut(sourceLoadFailedReport(r.message, SourceLoadVia::FileDialog));
        return std::nullopt;
    }
    if (report)
        printOut(plc_texts::kReportCompilingSource);
    return project;
}

int runPlcCommand(const std::vector<std::string> &args)
{
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        printOut(kUsage);
        return kExitOk;
    }
    Options o;
    const std::string err = parseOptions(args, o);
    if (!err.empty())
        return usageError(err);
    if (o.action == "check")
        return runCheck(o);
    if (o.action == "preview")
        return runPreview(o);
    if (o.action == "build")
        return runBuild(o);
    if (o.action == "image")
        return runImage(o);
    return usageError("unknown action " + o.action);
}

} // namespace qx::cli
