// The programming page's rules: grid rows, block commands, load, compile,
// save and the start of a download.
#include "plc_editor.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>

#include "decimal_text.h"
#include "file_bytes.h"
#include "plc_catalogues.h"
#include "plc_compiler.h"
#include "plc_project_file.h"
#include "plc_reports.h"
#include "plc_source_loader.h"
#include "plc_texts.h"
#include "text_format.h"

namespace qx {

namespace {

using namespace plc_texts;

PlcCatalogue codeCatalogue(PlcRowKind kind)
{
    return kind == PlcRowKind::Condition ? PlcCatalogue::Source : PlcCatalogue::ActionObject;
}

PlcCatalogue operatorCatalogue(PlcRowKind kind)
{
    return kind == PlcRowKind::Condition ? PlcCatalogue::ConditionOperator : PlcCatalogue::ActionOperator;
}

// The list position of a code, -1 when its list has no such entry.
int listPosition(PlcCatalogue catalogue, uint8_t code)
{
    return code < plcCatalogue(catalogue).size() ? int(code) : -1;
}

uint8_t codeOf(int position, uint8_t stored)
{
    return position >= 0 && position <= 255 ? static_cast<uint8_t>(position) : stored;
}

bool valueIsFloat(const PlcRow &row, PlcRowKind kind, bool valueB)
{
    return kind == PlcRowKind::Condition ? conditionValueIsFloat(row) : actionValueIsFloat(row, valueB);
}

// A float field takes any number; an integer field a whole number that fits
// 32 bits, negative ones stored as their two's complement as the source
// loader stores them.
std::optional<uint32_t> readValue(const std::string &text, bool isFloat)
{
    if (isFloat) {
        const std::optional<float> v = parseWholeFloat(text);
        return v ? std::optional<uint32_t>(floatBits(*v)) : std::nullopt;
    }
    const std::optional<int64_t> v = parseWholeInteger(text);
    if (!v || *v < INT32_MIN || *v > int64_t(UINT32_MAX))
        return std::nullopt;
    return static_cast<uint32_t>(*v);
}

PlcOutcome withMessage(const char *message)
{
    PlcOutcome o;
    o.message = message;
    return o;
}

} // namespace

PlcRowFields showPlcRow(const PlcRow &row, PlcRowKind kind)
{
    PlcRowFields f;
    f.code = listPosition(codeCatalogue(kind), row.code);
    f.unit = listPosition(PlcCatalogue::Unit, row.unit);
    f.op = listPosition(operatorCatalogue(kind), row.op);
    f.a = plcValueText(row.a, valueIsFloat(row, kind, false));
    f.b = plcValueText(row.b, valueIsFloat(row, kind, true));
    return f;
}

PlcBlockFields showPlcBlock(const PlcProject &project, int block)
{
    PlcBlockFields f;
    for (int r = 0; r < kPlcRowsPerArea; ++r) {
        f.conditions[r] = showPlcRow(project.row(block, PlcRowKind::Condition, r), PlcRowKind::Condition);
        f.actions[r] = showPlcRow(project.row(block, PlcRowKind::Action, r), PlcRowKind::Action);
    }
    return f;
}

PlcRowRead readPlcRowFields(const PlcRowFields &fields, const PlcRow &stored, PlcRowKind kind, int block,
                            int row)
{
    PlcRow r;
    r.code = codeOf(fields.code, stored.code);
    r.unit = codeOf(fields.unit, stored.unit);
    r.op = codeOf(fields.op, stored.op);
    const bool condition = kind == PlcRowKind::Condition;
    struct Field {
        const std::string &text;
        uint32_t &value;
        bool valueB;
        const char *name;
    };
    const Field values[] = {
        {fields.a, r.a, false, condition ? kFieldCondA : kFieldActA},
        {fields.b, r.b, true, condition ? kFieldCondB : kFieldActB},
    };
    for (const Field &f : values) {
        const bool isFloat = valueIsFloat(r, kind, f.valueB);
        const std::optional<uint32_t> v = readValue(f.text, isFloat);
        if (!v) {
            PlcRowRead refused;
            refused.message = formatText(isFloat ? kValueNotNumber : kValueNotInteger, block,
                                         condition ? kRowCondition : kRowAction, row, f.name, f.text.c_str());
            return refused;
        }
        f.value = *v;
    }
    return {r, {}};
}

uint32_t blockColour(uint8_t state)
{
    if (state == kBlockFree)
        return kBlockGrey;
    return state == kBlockRuns ? kBlockGreen : kBlockBlue;
}

bool isProjectChoice(const std::string &path, int filter)
{
    if (filter >= 0)
        return filter == 0;
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".qprj";
}

uint8_t finalCommandOf(PlcTransfer transfer)
{
    switch (transfer) {
    case PlcTransfer::RamRun:
        return kEplcRamRun;
    case PlcTransfer::FlashRun:
        return kEplcFlashRun;
    case PlcTransfer::FlashRestart:
    case PlcTransfer::ClearFlash:
        break;
    }
    return kEplcFlashRestart;
}

PlcControls PlcEditor::controls() const
{
    PlcControls c;
    if (m_download.running()) {
        c.transfer = m_transfer;
        return c;
    }
    c.blockCommands = true;
    c.loadAndNew = true;
    c.clearFlash = true;
    if (!m_project)
        return c;
    c.blockButtons = true;
    c.rows = m_current >= 0;
    c.refresh = true;
    c.downloads = m_compiled;
    c.save = m_compiled;
    return c;
}

std::optional<PlcTransfer> PlcEditor::runningTransfer() const
{
    return m_download.running() ? std::optional(m_transfer) : std::nullopt;
}

// --- program ------------------------------------------------------------------

PlcOutcome PlcEditor::newProject()
{
    m_mode = PlcEditMode::Visual;
    m_project.emplace();
    m_sourcePath.clear();
    m_compiled = true;
    m_current = 0;
    PlcOutcome o;
    o.ok = true;
    o.report = kReportNewProject;
    o.showRows = true;
    return o;
}

// The check of all blocks; the report box ends with the preview (when it
// passed) or the failing rules, and the hints.
PlcOutcome PlcEditor::compileReport(bool fromSource, bool newProgram, const ScalingTables &scaling)
{
    const CheckResult check = checkPlcProject(*m_project, scaling);
    m_compiled = check.ok;
    PlcOutcome o;
    o.ok = check.ok;
    // the check and the preview each begin with an empty report box
    std::string report = check.ok ? previewPlcProject(*m_project) : check.report;
    report += fromSource ? sourceCompileOutcomeReport(check.ok) : compileOutcomeReport(check.ok);
    o.report = std::move(report);
    if (check.ok)
        m_current = 0;
    else if (newProgram)
        m_current = -1; // the grid showed another program's block
    o.showRows = m_current >= 0;
    return o;
}

PlcOutcome PlcEditor::loadSource(const std::string &path, const ScalingTables &scaling)
{
    return loadSourceFile(path, false, scaling);
}

// Always into an empty project: the file is the whole program, and rows or
// blocks taken out of it must not stay behind.
PlcOutcome PlcEditor::loadSourceFile(const std::string &path, bool viaRefresh, const ScalingTables &scaling)
{
    PlcProject fresh;
    const SourceLoadResult r = loadPlcSourceFile(path, fresh);
    PlcOutcome o;
    if (r.code == SourceLoadResult::FileError) {
        // the open program stays as it was
        m_compiled = false;
        o.message = r.message;
        return o;
    }
    m_mode = PlcEditMode::Source;
    m_sourcePath = path;
    m_project = std::move(fresh);
    if (r.code == SourceLoadResult::SyntaxError) {
        m_compiled = false;
        m_current = -1;
        o.report = std::string(kReportLoadingSource)
            + sourceLoadFailedReport(r.message, viaRefresh ? SourceLoadVia::Refresh : SourceLoadVia::FileDialog);
        return o;
    }
    return compileReport(true, true, scaling);
}

PlcOutcome PlcEditor::refresh(const ScalingTables &scaling)
{
    if (!m_project)
        return withMessage(kNoProject);
    if (m_mode == PlcEditMode::Source)
        return loadSourceFile(m_sourcePath, true, scaling);
    return compileReport(false, false, scaling);
}

PlcOutcome PlcEditor::readProjectFile(const std::string &path)
{
    m_readBytes.clear();
    PlcOutcome o;
    // one byte more than a project tells a longer file from a right one
    FileReadResult file = readFileBytes(path, kProjectFileSize + 1);
    if (!file.ok) {
        o.message = file.message;
        return o;
    }
    if (file.size != kProjectFileSize) {
        o.message = formatText(kNotCorrectFile, static_cast<unsigned>(file.size));
        return o;
    }
    m_readBytes = std::move(file.bytes);
    o.ok = true;
    return o;
}

PlcOutcome PlcEditor::openProject(const std::string &password, const ScalingTables &scaling)
{
    ProjectLoadResult r = readProjectBytes(m_readBytes, password);
    m_readBytes.clear();
    if (!r.ok) {
        m_password.clear();
        m_confirmation.clear();
        return withMessage(r.message.c_str());
    }
    m_project = std::move(r.project);
    m_mode = PlcEditMode::Visual;
    m_sourcePath.clear();
    m_password = m_confirmation = password;
    return compileReport(false, true, scaling);
}

void PlcEditor::setPasswords(const std::string &password, const std::string &confirmation)
{
    m_password = password;
    m_confirmation = confirmation;
}

PlcOutcome PlcEditor::checkSavePasswords()
{
    if (!m_project)
        return withMessage(kNoProject);
    const std::string error = passwordEntriesError(m_password, m_confirmation);
    if (!error.empty()) {
        m_password.clear();
        m_confirmation.clear();
        return withMessage(error.c_str());
    }
    PlcOutcome o;
    o.ok = true;
    return o;
}

PlcOutcome PlcEditor::saveProject(const std::string &path)
{
    if (!m_project)
        return withMessage(kNoProject);
    const ProjectSaveResult r = saveProjectFile(path, *m_project, m_password, m_confirmation);
    PlcOutcome o;
    o.ok = r.ok;
    o.message = r.message;
    return o;
}

// --- blocks ---------------------------------------------------------------------

PlcOutcome PlcEditor::needBlock() const
{
    return withMessage(kNeedBlock);
}

PlcOutcome PlcEditor::selectBlock(int block)
{
    if (!m_project)
        return withMessage(kNoProject);
    if (block < 0 || block >= static_cast<int>(kPlcBlockCount))
        return {};
    m_current = block;
    PlcOutcome o;
    o.ok = true;
    o.report = previewPlcProject(*m_project, true, block);
    o.showRows = true;
    return o;
}

PlcBlockFields PlcEditor::currentFields() const
{
    if (!m_project || m_current < 0)
        return {};
    return showPlcBlock(*m_project, m_current);
}

PlcOutcome PlcEditor::commit(const PlcBlockFields &shown, const ScalingTables &scaling)
{
    if (!m_project || m_current < 0)
        return needBlock();
    std::array<PlcRow, 2 * kPlcRowsPerArea> rows;
    for (int i = 0; i < 2 * kPlcRowsPerArea; ++i) {
        const PlcRowKind kind = i < kPlcRowsPerArea ? PlcRowKind::Condition : PlcRowKind::Action;
        const int r = i % kPlcRowsPerArea;
        const PlcRowFields &f = kind == PlcRowKind::Condition ? shown.conditions[r] : shown.actions[r];
        PlcRowRead read = readPlcRowFields(f, m_project->row(m_current, kind, r), kind, m_current, r);
        if (!read.row)
            return withMessage(read.message.c_str());
        rows[i] = *read.row;
    }
    for (int i = 0; i < 2 * kPlcRowsPerArea; ++i) {
        const PlcRowKind kind = i < kPlcRowsPerArea ? PlcRowKind::Condition : PlcRowKind::Action;
        m_project->setRow(m_current, kind, i % kPlcRowsPerArea, rows[i]);
    }
    m_project->setState(m_current, kBlockRuns);
    const CheckResult check = checkPlcProject(*m_project, scaling, true, m_current);
    PlcOutcome o;
    o.ok = true;
    o.report = check.ok ? previewPlcProject(*m_project, true, m_current) : check.report;
    return o;
}

PlcOutcome PlcEditor::stop()
{
    if (!m_project || m_current < 0)
        return needBlock();
    m_project->setState(m_current, kBlockStopped);
    PlcOutcome o;
    o.ok = true;
    return o;
}

PlcOutcome PlcEditor::clear()
{
    if (!m_project || m_current < 0)
        return needBlock();
    m_project->clearBlock(m_current);
    PlcOutcome o;
    o.ok = true;
    o.report = previewPlcProject(*m_project, true, m_current);
    o.showRows = true;
    return o;
}

PlcOutcome PlcEditor::moveRow(PlcRowKind kind, int &selected, int direction, PlcBlockFields &shown)
{
    if (!m_project || m_current < 0)
        return needBlock();
    const int target = selected + direction;
    if (selected < 0 || selected >= kPlcRowsPerArea || target < 0 || target >= kPlcRowsPerArea
        || (direction != 1 && direction != -1))
        return {};
    m_project->swapRows(m_current, kind, std::min(selected, target));
    std::swap(shown.rows(kind)[selected], shown.rows(kind)[target]);
    selected = target;
    PlcOutcome o;
    o.ok = true;
    o.report = previewPlcProject(*m_project, true, m_current);
    return o;
}

PlcOutcome PlcEditor::deleteRow(PlcRowKind kind, int selected, PlcBlockFields &shown)
{
    if (!m_project || m_current < 0)
        return needBlock();
    if (selected < 0 || selected >= kPlcRowsPerArea)
        return {};
    m_project->deleteRow(m_current, kind, selected);
    shown.rows(kind)[selected] = PlcRowFields{};
    PlcOutcome o;
    o.ok = true;
    o.report = previewPlcProject(*m_project, true, m_current);
    return o;
}

// --- download -------------------------------------------------------------------

PlcOutcome PlcEditor::prepareTransfer(PlcTransfer transfer, const ScalingTables &scaling)
{
    if (m_download.running())
        return {};
    if (transfer == PlcTransfer::ClearFlash) {
        // the module gets an empty program, so only an empty project may go
        bool empty = m_project.has_value();
        for (int b = 0; empty && b < static_cast<int>(kPlcBlockCount); ++b)
            empty = m_project->state(b) == kBlockFree;
        if (!empty)
            return withMessage(kNeedEmptyProject);
        PlcOutcome o;
        o.ok = true;
        return o;
    }
    if (!m_project)
        return withMessage(kNoProject);
    const CheckResult check = checkPlcProject(*m_project, scaling);
    PlcOutcome o;
    if (!check.ok) {
        o.report = check.report;
        o.message = kFixSyntaxFirst;
        return o;
    }
    o.ok = true;
    o.report = previewPlcProject(*m_project);
    return o;
}

TransferStep PlcEditor::startTransfer(PlcTransfer transfer, uint16_t blockSize, const ScalingTables &scaling)
{
    if (!m_project || m_download.running())
        return {};
    m_blockSize = isEplcBlockSize(blockSize) ? blockSize : kEplcBlockSizes[0];
    m_transfer = transfer;
    return m_download.start(buildProgramImage(*m_project, scaling), finalCommandOf(transfer), m_blockSize);
}

} // namespace qx
