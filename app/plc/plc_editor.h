// The rules of the PLC programming page without its widgets: which program is
// open and how it came (source text or project), the current block, how a
// block's rows are shown in the grid and read back from it, moving and
// deleting rows, which controls are enabled, loading, compiling and saving,
// and the downloads. The page shows what these functions return and asks the
// operator where they need an answer (files, passwords, block size).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "plc_download.h"
#include "plc_project.h"
#include "scaling_file.h"

namespace qx {

// What one row's five controls hold: the three list positions (-1 when the
// stored code has no entry in its list, which keeps that code on commit) and
// the two value texts.
struct PlcRowFields {
    int code = 0;
    int unit = 0;
    int op = 0;
    std::string a = "0";
    std::string b = "0";

    bool operator==(const PlcRowFields &) const = default;
};

struct PlcBlockFields {
    std::array<PlcRowFields, kPlcRowsPerArea> conditions;
    std::array<PlcRowFields, kPlcRowsPerArea> actions;

    std::array<PlcRowFields, kPlcRowsPerArea> &rows(PlcRowKind kind)
    {
        return kind == PlcRowKind::Condition ? conditions : actions;
    }
    bool operator==(const PlcBlockFields &) const = default;
};

PlcRowFields showPlcRow(const PlcRow &row, PlcRowKind kind);
PlcBlockFields showPlcBlock(const PlcProject &project, int block);

struct PlcRowRead {
    std::optional<PlcRow> row; // nullopt: a value is not a number
    std::string message;       // names the block, the row and the field
};

// Reads a row back: codes from the lists, values as floats where the row's
// (new) codes make them floats, as 32-bit integers otherwise.
PlcRowRead readPlcRowFields(const PlcRowFields &fields, const PlcRow &stored, PlcRowKind kind, int block,
                            int row);

// Block button colours (RGB): grey free, green runs, blue kept but not run.
inline constexpr uint32_t kBlockGrey = 0xC0C0C0;
inline constexpr uint32_t kBlockGreen = 0x00FF00;
inline constexpr uint32_t kBlockBlue = 0x0000FF;
uint32_t blockColour(uint8_t state);

enum class PlcEditMode {
    None = 0,
    Source = 1, // the text file is the master copy
    Visual = 2, // the grid is the editor
};

// Whether a file the operator chose with "载入工程或源码" is a project (else
// a source text): by the filter chosen, the projects' being the first (0);
// without one (-1) by its extension, "qprj" in any case.
bool isProjectChoice(const std::string &path, int filter);

// The four transfer buttons.
enum class PlcTransfer {
    RamRun,
    FlashRun,
    FlashRestart,
    ClearFlash,
};
uint8_t finalCommandOf(PlcTransfer transfer);

// Which controls are on.
struct PlcControls {
    bool blockButtons = false;
    bool rows = false;          // the lists, value fields and row selectors
    bool blockCommands = false; // "参与运行" .. "删除"
    bool loadAndNew = false;
    bool refresh = false;
    bool downloads = false;     // the three download buttons
    bool save = false;
    bool clearFlash = false;
    std::optional<PlcTransfer> transfer; // while one runs, only its button is on

    bool operator==(const PlcControls &) const = default;
};

// What a command leaves for the page to show.
struct PlcOutcome {
    bool ok = false;
    std::optional<std::string> report; // the report box's new content
    std::string message;               // for a message box, "" for none
    bool showRows = false;             // redisplay the current block's rows
};

class PlcEditor
{
public:
    PlcEditMode mode() const { return m_mode; }
    const PlcProject *project() const { return m_project ? &*m_project : nullptr; }
    int currentBlock() const { return m_current; }
    const std::string &sourcePath() const { return m_sourcePath; }
    PlcControls controls() const;

    // --- program --------------------------------------------------------------
    PlcOutcome newProject();
    // "载入工程或源码" with a source file, after the notice was confirmed.
    PlcOutcome loadSource(const std::string &path, const ScalingTables &scaling);
    // "刷新并编译": the source file again, read into an empty project so that
    // rows removed from it go; or the open project checked again.
    PlcOutcome refresh(const ScalingTables &scaling);
    // A project file is read first (its length decides before a password is
    // asked for), then opened with the password. Nothing of the open program
    // changes until the seal matched.
    PlcOutcome readProjectFile(const std::string &path);
    PlcOutcome openProject(const std::string &password, const ScalingTables &scaling);
    void dropReadProject() { m_readBytes.clear(); }
    PlcOutcome saveProject(const std::string &path);

    // The password dialog keeps its two texts between uses.
    const std::string &password() const { return m_password; }
    const std::string &confirmation() const { return m_confirmation; }
    void setPasswords(const std::string &password, const std::string &confirmation);
    // The save dialog's rules; a refusal clears both texts.
    PlcOutcome checkSavePasswords();

    // --- blocks ---------------------------------------------------------------
    // Block button n: block n becomes current, its rows are shown and its
    // preview written.
    PlcOutcome selectBlock(int block);
    // The rows of the current block as stored.
    PlcBlockFields currentFields() const;
    // "参与运行": the shown rows are read back (nothing is stored if a value is
    // not a number), the block runs and is checked alone.
    PlcOutcome commit(const PlcBlockFields &shown, const ScalingTables &scaling);
    PlcOutcome stop();
    PlcOutcome clear();
    // "上移" / "下移" / "删除" on the selected row (-1: none selected). The
    // stored rows and the shown ones (with any edits not yet committed) move
    // together; `selected` follows the moved row.
    PlcOutcome moveRow(PlcRowKind kind, int &selected, int direction, PlcBlockFields &shown);
    PlcOutcome deleteRow(PlcRowKind kind, int selected, PlcBlockFields &shown);

    // --- download -------------------------------------------------------------
    // The checks before the block size is asked for; not ok means stop here.
    // While a transfer runs, pressing its button cancels it instead.
    PlcOutcome prepareTransfer(PlcTransfer transfer, const ScalingTables &scaling);
    // After "确定" in the block size dialog: the image and the start packet.
    TransferStep startTransfer(PlcTransfer transfer, uint16_t blockSize, const ScalingTables &scaling);
    // The running download, for its driver.
    PlcDownload &download() { return m_download; }
    const PlcDownload &download() const { return m_download; }
    std::optional<PlcTransfer> runningTransfer() const;
    uint16_t blockSize() const { return m_blockSize; }

private:
    PlcOutcome loadSourceFile(const std::string &path, bool viaRefresh, const ScalingTables &scaling);
    PlcOutcome compileReport(bool fromSource, bool newProgram, const ScalingTables &scaling);
    PlcOutcome needBlock() const;

    PlcEditMode m_mode = PlcEditMode::None;
    std::optional<PlcProject> m_project;
    std::string m_sourcePath;
    int m_current = -1;
    bool m_compiled = false; // the last load or check passed
    std::string m_password;
    std::string m_confirmation;
    std::string m_readBytes; // a project file read, waiting for its password
    uint16_t m_blockSize = kEplcDefaultBlockSize;
    PlcTransfer m_transfer = PlcTransfer::RamRun;
    PlcDownload m_download;
};

} // namespace qx
