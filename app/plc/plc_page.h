// COperEPLC, the "QovexPLC" tab: the report box, the 100 block buttons, the
// grid of ten condition and ten action rows, and the commands that load,
// edit, compile, save and download the program. The rules are PlcEditor's;
// this file holds the widgets and wires them to it; the shell's
// TransferDriver carries out the download.
#pragma once

#include <array>
#include <memory>

#include <QWidget>

#include "dialogs.h"
#include "plc_dialogs.h"
#include "plc_editor.h"

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace qx {

class AppMain;
class ScalingStore;
class TransferDriver;

class COperEPLC : public QWidget
{
    Q_OBJECT

public:
    // `dialogs`: the page's own dialogs (real ones when null). The compiler
    // reads the application's scaling tables when it runs.
    // The compiler reads the scaling tables in `scaling` (the AI/AO page
    // loads them); the store must outlive the page.
    COperEPLC(AppMain &app, const ScalingStore &scaling, std::unique_ptr<PlcDialogs> dialogs = nullptr,
              QWidget *parent = nullptr);

    struct RowControls
    {
        QRadioButton *selector = nullptr;
        QComboBox *code = nullptr; // "来源" / "对象"
        QComboBox *op = nullptr;   // "运算符" / "操作"
        QLineEdit *a = nullptr;
        QLineEdit *b = nullptr;
        QComboBox *unit = nullptr; // "值类型"
    };

    // The controls, for tests that press them.
    struct Controls
    {
        QPlainTextEdit *report = nullptr;
        std::array<QPushButton *, kPlcBlockCount> blocks {};
        QLabel *currentBlock = nullptr;
        std::array<RowControls, kPlcRowsPerArea> conditions;
        std::array<RowControls, kPlcRowsPerArea> actions;
        QPushButton *load = nullptr;
        QPushButton *newProject = nullptr;
        QPushButton *refresh = nullptr;
        QPushButton *save = nullptr;
        std::array<QPushButton *, 4> transfers {}; // in PlcTransfer order
        QPushButton *commit = nullptr;
        QPushButton *stop = nullptr;
        QPushButton *clearBlock = nullptr;
        QPushButton *up = nullptr;
        QPushButton *down = nullptr;
        QPushButton *remove = nullptr;
        QProgressBar *progress = nullptr;
    };
    const Controls &controls() const { return m_ui; }
    const PlcEditor &editor() const { return m_editor; }

private:
    void buildControls();
    QWidget *buildRowGrid(QWidget *parent);
    QGridLayout *buildCommands();
    void connectControls();

    void onLoad();
    void onNewProject();
    void onRefresh();
    void onSave();
    void onTransfer(PlcTransfer transfer);
    void onBlock(int block);
    void onCommit();
    void onStop();
    void onClearBlock();
    void onMove(int direction);
    void onDelete();

    // Shows what a command left: report, log line, message, rows.
    void present(const PlcOutcome &outcome);
    const ScalingTables &scaling() const;
    FileRequest fileRequest(const char *title, const char *filter, const char *suffix) const;
    void applyControls();
    void paintBlocks();
    void showRows(const PlcBlockFields &fields);
    PlcBlockFields shownRows() const;
    void clearSelectors();
    // The kind and row of the selected row selector; row -1 when none is on.
    std::pair<PlcRowKind, int> selectedRow() const;
    void selectRow(PlcRowKind kind, int row);
    void message(const std::string &text);

    AppMain &m_app;
    const ScalingStore &m_scaling;
    std::unique_ptr<PlcDialogs> m_dialogs;
    PlcEditor m_editor;
    Controls m_ui;
    QButtonGroup *m_selectors = nullptr;
    TransferDriver *m_driver = nullptr;
    QString m_folder; // where the last file was, for the next file dialog
};

} // namespace qx
