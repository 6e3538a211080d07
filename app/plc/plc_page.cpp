#include "plc_page.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app_main.h"
#include "common_texts.h"
#include "dialogs.h"
#include "plc_catalogues.h"
#include "plc_texts.h"
#include "scaling_store.h"
#include "transfer_driver.h"
#include "ui_text.h"

namespace qx {

namespace {

using namespace plc_texts;

QComboBox *catalogueList(PlcCatalogue catalogue, int characters, const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    for (const std::string &entry : plcCatalogueShown(catalogue))
        box->addItem(uiText(entry));
    box->setAccessibleName(name);
    box->setMaxVisibleItems(20);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(characters);
    return box;
}

QPushButton *button(const char *caption, QWidget *parent)
{
    return new QPushButton(uiText(caption), parent);
}

constexpr Text kTransferCaptions[] = {kButtonRamRun, kButtonFlashRun, kButtonFlashRestart, kButtonClearFlash};

const char *stateName(uint8_t state)
{
    if (state == kBlockFree)
        return kBlockFreeName;
    return state == kBlockRuns ? kBlockRunsName : kBlockStoppedName;
}

} // namespace

COperEPLC::COperEPLC(AppMain &app, const ScalingStore &scaling, std::unique_ptr<PlcDialogs> dialogs,
                     QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_scaling(scaling)
    , m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtPlcDialogs>())
{
    buildControls();
    connectControls();
    m_driver = new TransferDriver(app, m_editor.download(), this, m_ui.progress);
    connect(m_driver, &TransferDriver::stepped, this, &COperEPLC::applyControls);
    applyControls();
}

// --- widgets ----------------------------------------------------------------------

void COperEPLC::buildControls()
{
    auto *root = new QHBoxLayout(this);

    // left: the report box, and under it the commands of STEP3 with the
    // transfer's progress
    auto *left = new QVBoxLayout;
    root->addLayout(left, 1);
    m_ui.report = new QPlainTextEdit(this);
    m_ui.report->setReadOnly(true);
    m_ui.report->setAccessibleName(uiText(kReportBoxName));
    m_ui.report->setLineWrapMode(QPlainTextEdit::NoWrap);
    left->addWidget(m_ui.report, 1);
    left->addLayout(buildCommands());
    m_ui.progress = new QProgressBar(this);
    m_ui.progress->setAccessibleName(uiText(kProgressName));
    m_ui.progress->setFormat(QStringLiteral("%v/%m"));
    m_ui.progress->setRange(0, 1);
    m_ui.progress->setValue(0);
    m_ui.progress->setTextVisible(false); // until a transfer has a plan
    left->addWidget(m_ui.progress);

    // right: the blocks and the rows, scrolling rather than squeezing the
    // rows on a small window
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *editor = new QWidget(scroll);
    scroll->setWidget(editor);
    root->addWidget(scroll, 3);
    auto *right = new QVBoxLayout(editor);
    right->setContentsMargins(0, 0, 0, 0);

    auto *step1 = new QLabel(uiText(kStep1), editor);
    step1->setWordWrap(true);
    right->addWidget(step1);
    auto *blocks = new QGridLayout;
    blocks->setSpacing(2);
    for (int n = 0; n < static_cast<int>(kPlcBlockCount); ++n) {
        auto *b = new QPushButton(QString::number(n), editor);
        b->setCheckable(true);
        b->setAccessibleName(QString::number(n));
        b->setMinimumWidth(28);
        b->setFocusPolicy(Qt::TabFocus);
        m_ui.blocks[std::size_t(n)] = b;
        blocks->addWidget(b, n / 20, n % 20);
    }
    right->addLayout(blocks);

    auto *step2 = new QHBoxLayout;
    auto *step2Text = new QLabel(uiText(kStep2), editor);
    step2Text->setWordWrap(true);
    step2->addWidget(step2Text, 1);
    m_ui.currentBlock = new QLabel(editor);
    QFont big(uiText("黑体"));
    big.setPointSize(20);
    big.setBold(true);
    m_ui.currentBlock->setFont(big);
    m_ui.currentBlock->setMinimumWidth(60);
    step2Text->setBuddy(m_ui.currentBlock); // the text ends in "当前块号:"
    step2->addWidget(m_ui.currentBlock);
    right->addLayout(step2);
    right->addWidget(buildRowGrid(editor));
    right->addStretch(1);
}

// STEP3: the block and row commands, the program's and the transfers.
QGridLayout *COperEPLC::buildCommands()
{
    auto *commands = new QGridLayout;
    commands->setSpacing(4);
    auto *step3 = new QLabel(uiText(kStep3), this);
    auto *rowHint = new QLabel(uiText(kRowHint), this);
    m_ui.commit = button(kButtonCommit, this);
    m_ui.stop = button(kButtonStop, this);
    m_ui.clearBlock = button(kButtonClearBlock, this);
    m_ui.up = button(kButtonUp, this);
    m_ui.down = button(kButtonDown, this);
    m_ui.remove = button(kButtonDelete, this);
    m_ui.load = button(kButtonLoad, this);
    m_ui.newProject = button(kButtonNew, this);
    m_ui.refresh = button(kButtonRefresh, this);
    m_ui.save = button(kButtonSave, this);
    for (std::size_t i = 0; i < m_ui.transfers.size(); ++i)
        m_ui.transfers[i] = button(kTransferCaptions[i], this);
    commands->addWidget(step3, 0, 0, 1, 6);
    // six columns: three buttons take two each, two take three, one all
    const std::initializer_list<QWidget *> lines[] = {
        {m_ui.commit, m_ui.stop, m_ui.clearBlock},
        {rowHint},
        {m_ui.up, m_ui.down, m_ui.remove},
        {m_ui.load, m_ui.newProject},
        {m_ui.refresh, m_ui.save},
        {m_ui.transfers[0], m_ui.transfers[1]},
        {m_ui.transfers[2], m_ui.transfers[3]},
    };
    int line = 1;
    for (const auto &widgets : lines) {
        const int span = 6 / int(widgets.size());
        int column = 0;
        for (QWidget *w : widgets) {
            commands->addWidget(w, line, column, 1, span);
            column += span;
        }
        ++line;
    }
    return commands;
}

QWidget *COperEPLC::buildRowGrid(QWidget *parent)
{
    auto *box = new QGroupBox(parent);
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    m_selectors = new QButtonGroup(this);
    const char *const condHeads[] = {kHeadCondition, kHeadSource, kHeadOperator, kHeadCondA, kHeadCondB, kHeadUnit};
    const char *const actHeads[] = {kHeadAction, kHeadObject, kHeadOperation, kHeadActA, kHeadActB, kHeadUnit};
    constexpr int kActColumn = 7; // a gap column between the halves
    for (int c = 0; c < 6; ++c) {
        grid->addWidget(new QLabel(uiText(condHeads[c]), box), 0, c);
        grid->addWidget(new QLabel(uiText(actHeads[c]), box), 0, kActColumn + c);
    }
    grid->setColumnMinimumWidth(6, 12);
    auto makeRow = [&](PlcRowKind kind, int r, int column, const char *const *heads) {
        const bool condition = kind == PlcRowKind::Condition;
        const QString row = uiText(condition ? kRowCondition : kRowAction) + QString::number(r);
        auto name = [&](int head) { return row + QLatin1Char(' ') + uiText(heads[head]); };
        RowControls rc;
        rc.selector = new QRadioButton(QString::number(r), box);
        rc.selector->setAccessibleName(row);
        m_selectors->addButton(rc.selector, condition ? r : kPlcRowsPerArea + r);
        rc.code = catalogueList(condition ? PlcCatalogue::Source : PlcCatalogue::ActionObject, 3, name(1), box);
        rc.op = catalogueList(condition ? PlcCatalogue::ConditionOperator : PlcCatalogue::ActionOperator, 2,
                              name(2), box);
        rc.a = new QLineEdit(QStringLiteral("0"), box);
        rc.b = new QLineEdit(QStringLiteral("0"), box);
        for (auto [edit, head] : {std::pair {rc.a, 3}, std::pair {rc.b, 4}}) {
            edit->setMaxLength(30);
            edit->setAccessibleName(name(head));
            edit->setMinimumWidth(48);
        }
        rc.unit = catalogueList(PlcCatalogue::Unit, 3, name(5), box);
        QWidget *cells[] = {rc.selector, rc.code, rc.op, rc.a, rc.b, rc.unit};
        for (int c = 0; c < 6; ++c)
            grid->addWidget(cells[c], 1 + r, column + c);
        (condition ? m_ui.conditions : m_ui.actions)[std::size_t(r)] = rc;
    };
    for (int r = 0; r < kPlcRowsPerArea; ++r) {
        makeRow(PlcRowKind::Condition, r, 0, condHeads);
        makeRow(PlcRowKind::Action, r, kActColumn, actHeads);
    }
    return box;
}

void COperEPLC::connectControls()
{
    connect(m_ui.load, &QPushButton::clicked, this, &COperEPLC::onLoad);
    connect(m_ui.newProject, &QPushButton::clicked, this, &COperEPLC::onNewProject);
    connect(m_ui.refresh, &QPushButton::clicked, this, &COperEPLC::onRefresh);
    connect(m_ui.save, &QPushButton::clicked, this, &COperEPLC::onSave);
    for (std::size_t i = 0; i < m_ui.transfers.size(); ++i)
        connect(m_ui.transfers[i], &QPushButton::clicked, this, [this, i] { onTransfer(PlcTransfer(i)); });
    for (std::size_t n = 0; n < m_ui.blocks.size(); ++n)
        connect(m_ui.blocks[n], &QPushButton::clicked, this, [this, n] { onBlock(int(n)); });
    connect(m_ui.commit, &QPushButton::clicked, this, &COperEPLC::onCommit);
    connect(m_ui.stop, &QPushButton::clicked, this, &COperEPLC::onStop);
    connect(m_ui.clearBlock, &QPushButton::clicked, this, &COperEPLC::onClearBlock);
    connect(m_ui.up, &QPushButton::clicked, this, [this] { onMove(-1); });
    connect(m_ui.down, &QPushButton::clicked, this, [this] { onMove(+1); });
    connect(m_ui.remove, &QPushButton::clicked, this, &COperEPLC::onDelete);
}

// --- commands ---------------------------------------------------------------------

void COperEPLC::onLoad()
{
    const FileChoice choice = m_app.dialogs().openFile(this, fileRequest(kButtonLoad, kProjectFilter, "txt"));
    if (choice.path.isEmpty())
        return;
    m_folder = QFileInfo(choice.path).absolutePath();
    m_app.logFilePath(choice.path);
    clearSelectors();
    const std::string file = choice.path.toStdString();
    if (!isProjectChoice(file, choice.filter)) {
        if (m_dialogs->sourceModeNotice(this))
            present(m_editor.loadSource(file, scaling()));
        return;
    }
    if (!m_dialogs->projectModeNotice(this))
        return;
    const PlcOutcome read = m_editor.readProjectFile(file);
    if (!read.ok) {
        present(read);
        return;
    }
    QString password = uiText(m_editor.password());
    QString confirmation = uiText(m_editor.confirmation());
    if (!m_dialogs->password(this, false, password, confirmation)) {
        m_editor.dropReadProject(); // the open program stays
        return;
    }
    present(m_editor.openProject(password.toStdString(), scaling()));
}

void COperEPLC::onNewProject()
{
    clearSelectors();
    present(m_editor.newProject());
}

void COperEPLC::onRefresh()
{
    present(m_editor.refresh(scaling()));
}

void COperEPLC::onSave()
{
    QString password = uiText(m_editor.password());
    QString confirmation = uiText(m_editor.confirmation());
    if (!m_dialogs->password(this, true, password, confirmation))
        return;
    m_editor.setPasswords(password.toStdString(), confirmation.toStdString());
    const PlcOutcome entries = m_editor.checkSavePasswords();
    if (!entries.ok) {
        present(entries);
        return;
    }
    const FileChoice choice = m_app.dialogs().saveFile(this, fileRequest(kButtonSave, kSaveFilter, "qprj"));
    if (choice.path.isEmpty())
        return;
    m_folder = QFileInfo(choice.path).absolutePath();
    m_app.logFilePath(choice.path);
    present(m_editor.saveProject(choice.path.toStdString()));
}

void COperEPLC::onTransfer(PlcTransfer transfer)
{
    if (m_editor.runningTransfer()) {
        m_driver->cancel();
        return;
    }
    if (transfer == PlcTransfer::ClearFlash)
        clearSelectors();
    const PlcOutcome ready = m_editor.prepareTransfer(transfer, scaling());
    present(ready);
    if (!ready.ok)
        return;
    if (!m_driver->linkReady())
        return;
    const std::optional<int> size = m_dialogs->blockSize(this, m_editor.blockSize());
    if (!size)
        return;
    m_driver->take(m_editor.startTransfer(transfer, static_cast<uint16_t>(*size), scaling()));
}

void COperEPLC::onBlock(int block)
{
    clearSelectors();
    present(m_editor.selectBlock(block));
}

void COperEPLC::onCommit()
{
    present(m_editor.commit(shownRows(), scaling()));
}

void COperEPLC::onStop()
{
    present(m_editor.stop());
}

void COperEPLC::onClearBlock()
{
    present(m_editor.clear());
}

void COperEPLC::onMove(int direction)
{
    auto [kind, row] = selectedRow();
    PlcBlockFields fields = shownRows();
    const PlcOutcome moved = m_editor.moveRow(kind, row, direction, fields);
    if (moved.ok) {
        showRows(fields);
        selectRow(kind, row);
    }
    present(moved);
}

void COperEPLC::onDelete()
{
    const auto [kind, row] = selectedRow();
    PlcBlockFields fields = shownRows();
    const PlcOutcome deleted = m_editor.deleteRow(kind, row, fields);
    if (deleted.ok)
        showRows(fields);
    present(deleted);
}

// --- showing ----------------------------------------------------------------------

void COperEPLC::present(const PlcOutcome &outcome)
{
    if (outcome.report) {
        QString text = uiText(*outcome.report);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_ui.report->setPlainText(text);
    }
    if (outcome.showRows)
        showRows(m_editor.currentFields());
    applyControls();
    if (!outcome.message.empty())
        message(outcome.message);
}

void COperEPLC::applyControls()
{
    const PlcControls c = m_editor.controls();
    for (QPushButton *b : m_ui.blocks)
        b->setEnabled(c.blockButtons);
    for (auto *rows : {&m_ui.conditions, &m_ui.actions}) {
        for (const RowControls &rc : *rows) {
            for (QWidget *w : std::initializer_list<QWidget *> {rc.selector, rc.code, rc.op, rc.a, rc.b, rc.unit})
                w->setEnabled(c.rows);
        }
    }
    for (QPushButton *b : {m_ui.commit, m_ui.stop, m_ui.clearBlock, m_ui.up, m_ui.down, m_ui.remove})
        b->setEnabled(c.blockCommands);
    m_ui.load->setEnabled(c.loadAndNew);
    m_ui.newProject->setEnabled(c.loadAndNew);
    m_ui.refresh->setEnabled(c.refresh);
    m_ui.save->setEnabled(c.save);
    for (std::size_t i = 0; i < m_ui.transfers.size(); ++i) {
        const auto t = PlcTransfer(i);
        const bool running = c.transfer == t;
        const bool on = running || (t == PlcTransfer::ClearFlash ? c.clearFlash : c.downloads);
        m_ui.transfers[i]->setEnabled(on);
        const Text cancel = t == PlcTransfer::ClearFlash ? kButtonCancelClear : kButtonCancelTransfer;
        m_ui.transfers[i]->setText(uiText(running ? cancel : kTransferCaptions[i]));
    }
    const int current = m_editor.currentBlock();
    m_ui.currentBlock->setText(current >= 0 ? QString::number(current) : QString());
    paintBlocks();
}

void COperEPLC::paintBlocks()
{
    const PlcProject *project = m_editor.project();
    const int current = m_editor.currentBlock();
    for (std::size_t n = 0; n < m_ui.blocks.size(); ++n) {
        const uint8_t state = project ? project->state(int(n)) : kBlockFree;
        QPushButton *b = m_ui.blocks[n];
        const bool isCurrent = project && int(n) == current;
        const QString style = QStringLiteral("QPushButton{background-color:#%1;%2}")
                                  .arg(blockColour(state), 6, 16, QLatin1Char('0'))
                                  .arg(isCurrent ? QStringLiteral("border:2px solid #FF0000;font-weight:bold;")
                                                 : QString());
        if (b->styleSheet() != style)
            b->setStyleSheet(style);
        b->setChecked(isCurrent);
        b->setAccessibleDescription(uiText(stateName(state)));
    }
}

void COperEPLC::showRows(const PlcBlockFields &fields)
{
    auto show = [](const RowControls &rc, const PlcRowFields &f) {
        rc.code->setCurrentIndex(f.code);
        rc.op->setCurrentIndex(f.op);
        rc.unit->setCurrentIndex(f.unit);
        rc.a->setText(uiText(f.a));
        rc.b->setText(uiText(f.b));
    };
    for (std::size_t r = 0; r < std::size_t(kPlcRowsPerArea); ++r) {
        show(m_ui.conditions[r], fields.conditions[r]);
        show(m_ui.actions[r], fields.actions[r]);
    }
}

PlcBlockFields COperEPLC::shownRows() const
{
    auto read = [](const RowControls &rc) {
        return PlcRowFields {rc.code->currentIndex(), rc.unit->currentIndex(), rc.op->currentIndex(),
                             rc.a->text().toStdString(), rc.b->text().toStdString()};
    };
    PlcBlockFields f;
    for (std::size_t r = 0; r < std::size_t(kPlcRowsPerArea); ++r) {
        f.conditions[r] = read(m_ui.conditions[r]);
        f.actions[r] = read(m_ui.actions[r]);
    }
    return f;
}

void COperEPLC::clearSelectors()
{
    // an exclusive group never lets its last button go
    m_selectors->setExclusive(false);
    for (QAbstractButton *b : m_selectors->buttons())
        b->setChecked(false);
    m_selectors->setExclusive(true);
}

std::pair<PlcRowKind, int> COperEPLC::selectedRow() const
{
    const int id = m_selectors->checkedId();
    if (id < 0)
        return {PlcRowKind::Condition, -1};
    if (id < kPlcRowsPerArea)
        return {PlcRowKind::Condition, id};
    return {PlcRowKind::Action, id - kPlcRowsPerArea};
}

void COperEPLC::selectRow(PlcRowKind kind, int row)
{
    if (QAbstractButton *b = m_selectors->button(kind == PlcRowKind::Condition ? row : kPlcRowsPerArea + row))
        b->setChecked(true);
}

void COperEPLC::message(const std::string &text)
{
    m_app.dialogs().message(this, uiText(text));
}

const ScalingTables &COperEPLC::scaling() const
{
    return m_scaling.tables();
}

FileRequest COperEPLC::fileRequest(const char *title, const char *filter, const char *suffix) const
{
    FileRequest r;
    r.title = uiText(title);
    r.filter = uiText(filter);
    r.startFolder = m_folder;
    r.defaultSuffix = QString::fromLatin1(suffix);
    return r;
}

} // namespace qx
