#include "config_page.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app_main.h"
#include "captions.h"
#include "config_texts.h"
#include "dialogs.h"
#include "firmware_box.h"
#include "param_ini.h"
#include "param_ini_export.h"
#include "param_requests.h"
#include "param_values.h"

namespace qx {

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

QString u8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path localPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// "配置文件缺少[SECTION]下的KEY,配置未加载!\r\n"
QString missingKeyLine(const IniLoadResult &r)
{
    std::string line = texts::kIniMissingFormat;
    line.replace(line.find("%s"), 2, r.missingSection);
    line.replace(line.find("%s"), 2, r.missingKey);
    return QString::fromStdString(line);
}

// A list shows its entries, then the stored number's own entry when no
// entry holds the value (the one an earlier block added goes first).
void showListState(QComboBox &list, const ValueList &values, const ControlState &s)
{
    while (list.count() > static_cast<int>(values.entries.size()))
        list.removeItem(list.count() - 1);
    if (s.index == list.count())
        list.addItem(QString::fromStdString(s.text));
    list.setCurrentIndex(s.index);
}

} // namespace

RO2000ScanPoll::RO2000ScanPoll(AppMain &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    buildControls();
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &RO2000ScanPoll::tick);
    PageHooks &hooks = m_app.hooks();
    hooks.paramBlock = [this](const ParamBlock &block, bool) { showParamBlock(block); };
    hooks.paramsWritten = [this] {
        if (m_countdown.operation() == ConfigCountdown::Write)
            m_countdown.markDone();
    };
}

RO2000ScanPoll::~RO2000ScanPoll()
{
    m_app.hooks().paramBlock = nullptr;
    m_app.hooks().paramsWritten = nullptr;
}

// --- widgets ----------------------------------------------------------------------

void RO2000ScanPoll::buildControls()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    root->addWidget(scroll);
    auto *content = new QWidget(scroll);
    scroll->setWidget(content);
    auto *page = new QVBoxLayout(content);

    // first row: SYSTEM and COM1 over the commands and the firmware box,
    // ETH, WIFI; second row: LORA and DIO; the reserved fields last
    auto *top = new QHBoxLayout;
    page->addLayout(top);
    auto *first = new QVBoxLayout;
    top->addLayout(first);
    first->addWidget(buildBox(PageGroup::System, texts::kBoxSystem, 1));
    first->addWidget(buildBox(PageGroup::Com, texts::kBoxCom, 1));
    auto *config = new QGroupBox(u8(texts::kBoxConfig), content);
    auto *buttons = new QGridLayout(config);
    m_ui.read = new QPushButton(u8(texts::kReadButton), config);
    m_ui.write = new QPushButton(u8(texts::kWriteButton), config);
    m_ui.load = new QPushButton(u8(texts::kLoadButton), config);
    m_ui.exportIni = new QPushButton(u8(texts::kExportButton), config);
    buttons->addWidget(m_ui.read, 0, 0);
    buttons->addWidget(m_ui.write, 0, 1);
    buttons->addWidget(m_ui.load, 1, 0);
    buttons->addWidget(m_ui.exportIni, 1, 1);
    first->addWidget(config);
    m_firmware = new FirmwareBox(m_app, content);
    first->addWidget(m_firmware);
    connect(m_firmware, &FirmwareBox::transferRunning, this, [this](bool running) {
        m_transferRunning = running;
        setButtonsEnabled(!m_countdown.running());
    });
    first->addStretch(1);
    for (auto [group, title] : {std::pair {PageGroup::Eth, texts::kBoxEth}, std::pair {PageGroup::Wifi, texts::kBoxWifi}}) {
        auto *column = new QVBoxLayout;
        column->addWidget(buildBox(group, title, 1));
        column->addStretch(1);
        top->addLayout(column);
    }
    top->addStretch(1);

    auto *second = new QHBoxLayout;
    page->addLayout(second);
    second->addWidget(buildBox(PageGroup::Lora, texts::kBoxLora, 1), 0, Qt::AlignTop);
    second->addWidget(buildBox(PageGroup::Dio, texts::kBoxDio, 4), 0, Qt::AlignTop);
    second->addStretch(1);

    page->addWidget(buildReserv());
    page->addStretch(1);

    connect(m_ui.read, &QPushButton::clicked, this, &RO2000ScanPoll::readModule);
    connect(m_ui.write, &QPushButton::clicked, this, &RO2000ScanPoll::writeModule);
    connect(m_ui.load, &QPushButton::clicked, this, &RO2000ScanPoll::loadFile);
    connect(m_ui.exportIni, &QPushButton::clicked, this, &RO2000ScanPoll::exportFile);
}

QWidget *RO2000ScanPoll::makeControl(const PageControl &c, QWidget *parent)
{
    QWidget *w = nullptr;
    switch (c.kind) {
    case ControlKind::Display: {
        auto *e = new QLineEdit(u8(texts::kNotAvailable), parent);
        e->setReadOnly(true);
        w = e;
        break;
    }
    case ControlKind::Edit: {
        auto *e = new QLineEdit(parent);
        // wide enough for a dotted address or a MAC, longer texts scroll
        const int chars = c.field.type != ParamType::Text ? 10 : c.field.size <= 16 ? 16 : 22;
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars);
        if (c.field.type == ParamType::Text)
            e->setMaxLength(static_cast<int>(c.field.size));
        w = e;
        break;
    }
    case ControlKind::List: {
        auto *l = new QComboBox(parent);
        const ValueList *values = valueListFor(c.name);
        for (const ValueEntry &e : values->entries)
            l->addItem(u8(e.label));
        l->setCurrentIndex(static_cast<int>(values->defaultIndex));
        w = l;
        break;
    }
    case ControlKind::Check:
        w = new QCheckBox(u8(texts::kCheckCaption), parent);
        break;
    }
    w->setObjectName(QString::fromStdString(c.name));
    m_controls.emplace(c.name, w);
    return w;
}

QWidget *RO2000ScanPoll::buildBox(PageGroup group, const char *title, int columns)
{
    auto *box = new QGroupBox(u8(title), this);
    auto *layout = new QVBoxLayout(box);
    auto *fields = new QGridLayout;
    auto *lists = new QGridLayout; // DIO: IO1..IO24, `columns` to a row
    layout->addLayout(fields);
    layout->addLayout(lists);
    int row = 0;
    int cell = 0;
    for (const PageControl &c : pageControls()) {
        if (c.group != group)
            continue;
        QWidget *w = makeControl(c, box);
        QLabel *caption = captionFor(w, QString::fromStdString(c.caption), box);
        if (group == PageGroup::Dio && c.kind == ControlKind::List) {
            lists->addWidget(caption, cell / columns, 2 * (cell % columns));
            lists->addWidget(w, cell / columns, 2 * (cell % columns) + 1);
            ++cell;
            continue;
        }
        fields->addWidget(caption, row, 0);
        fields->addWidget(w, row, 1);
        if (!c.hint.empty())
            fields->addWidget(new QLabel(u8(c.hint), box), row, 2);
        ++row;
    }
    return box;
}

QWidget *RO2000ScanPoll::buildReserv()
{
    m_ui.reserv = new QGroupBox(u8(texts::kBoxReserv), this);
    auto *grid = new QGridLayout(m_ui.reserv);
    // byRes and dwRes eight to a row under one caption each; the texts in
    // pairs, "szRes1~2:" .. "szRes9~10:"
    auto family = [&](const char *prefix, const char *caption, int count, int &row) {
        QLabel *label = nullptr;
        for (int i = 0; i < count; ++i) {
            const std::string name = prefix + std::to_string(i + 1);
            const PageControl &c = pageControl(name);
            QWidget *w = makeControl(c, m_ui.reserv);
            w->setAccessibleName(QString::fromStdString(name));
            if (label == nullptr) {
                label = new QLabel(u8(caption), m_ui.reserv);
                label->setBuddy(w);
                grid->addWidget(label, row, 0);
            }
            grid->addWidget(w, row + i / 8, 1 + i % 8);
        }
        row += (count + 7) / 8;
    };
    int row = 0;
    family("byRes", "byRes1~byRes32:", 32, row);
    family("dwRes", "dwRes1~32:", 32, row);
    static const char *const kTextCaptions[] = {"szRes1~2:", "szRes3~4:", "szRes5~6:", "szRes7~8:", "szRes9~10:"};
    for (int pair = 0; pair < 5; ++pair) {
        auto *label = new QLabel(u8(kTextCaptions[pair]), m_ui.reserv);
        grid->addWidget(label, row, 0);
        for (int k = 0; k < 2; ++k) {
            const std::string name = "szRes" + std::to_string(2 * pair + k + 1);
            const PageControl &c = pageControl(name);
            QWidget *w = makeControl(c, m_ui.reserv);
            w->setAccessibleName(QString::fromStdString(name));
            if (k == 0)
                label->setBuddy(w);
            grid->addWidget(w, row, 1 + 4 * k, 1, 4);
        }
        ++row;
    }
    m_ui.reserv->setVisible(false); // until a block with QXExtConf not 0
    return m_ui.reserv;
}

QWidget *RO2000ScanPoll::control(std::string_view name) const
{
    const auto it = m_controls.find(name);
    return it == m_controls.end() ? nullptr : it->second;
}

QLineEdit *RO2000ScanPoll::edit(std::string_view name) const
{
    return qobject_cast<QLineEdit *>(control(name));
}

QComboBox *RO2000ScanPoll::list(std::string_view name) const
{
    return qobject_cast<QComboBox *>(control(name));
}

QCheckBox *RO2000ScanPoll::check(std::string_view name) const
{
    return qobject_cast<QCheckBox *>(control(name));
}

// --- showing and collecting ---------------------------------------------------------

void RO2000ScanPoll::showParamBlock(const ParamBlock &block)
{
    if (m_countdown.operation() == ConfigCountdown::Read)
        m_countdown.markDone();
    m_block = block;
    const PageView view = showBlock(block);
    for (const auto &[name, s] : view.controls) {
        QWidget *w = control(name);
        if (w == nullptr)
            continue;
        w->setEnabled(s.enabled);
        if (!s.fill)
            continue;
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setText(QString::fromStdString(s.text));
        else if (auto *l = qobject_cast<QComboBox *>(w))
            showListState(*l, *pageControl(name).values, s);
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            c->setChecked(s.checked);
    }
    m_ui.reserv->setVisible(view.reservVisible);
    m_app.dialogs().message(this, u8(texts::kReadDone));
}

PageValues RO2000ScanPoll::pageValues() const
{
    PageValues values;
    for (const auto &[name, w] : m_controls) {
        ControlValue v;
        if (auto *e = qobject_cast<QLineEdit *>(w))
            v.text = e->text().toStdString();
        else if (auto *l = qobject_cast<QComboBox *>(w)) {
            v.index = l->currentIndex();
            v.text = l->currentText().toStdString();
        } else if (auto *c = qobject_cast<QCheckBox *>(w))
            v.checked = c->isChecked();
        values.emplace(name, std::move(v));
    }
    return values;
}

// --- commands ----------------------------------------------------------------------

void RO2000ScanPoll::setButtonsEnabled(bool on)
{
    for (QPushButton *b : {m_ui.read, m_ui.write, m_ui.load})
        b->setEnabled(on && !m_transferRunning);
}

QPushButton *RO2000ScanPoll::runningButton() const
{
    return m_countdown.operation() == ConfigCountdown::Read ? m_ui.read : m_ui.write;
}

void RO2000ScanPoll::readModule()
{
    setButtonsEnabled(false);
    m_app.clearReceiveBuffer();
    RequestRecord record = paramReadRecord();
    // a refused address has been explained to the operator; nothing went out
    if (!m_app.sendRequest(kSlotReadParams, record, RequestLength::kRead)) {
        setButtonsEnabled(true);
        return;
    }
    m_countdown.start(ConfigCountdown::Read);
    m_timer.start();
}

void RO2000ScanPoll::writeModule()
{
    if (!m_app.dialogs().confirm(this, u8(texts::kWriteConfirm)))
        return;
    setButtonsEnabled(false);
    const CollectResult collected = collectBlock(pageValues(), m_block);
    if (!collected.ok) {
        m_app.dialogs().message(this, QString::fromStdString(collected.message));
        setButtonsEnabled(true);
        return;
    }
    m_block = collected.block;
    m_app.clearReceiveBuffer();
    RequestRecord record = paramWriteRecord(m_block);
    if (!m_app.sendRequest(kSlotWriteParams, record, RequestLength::kWriteParams)) {
        setButtonsEnabled(true);
        return;
    }
    m_countdown.start(ConfigCountdown::Write);
    m_timer.start();
}

void RO2000ScanPoll::tick()
{
    QPushButton *button = runningButton();
    const ConfigCountdown::Tick t = m_countdown.tick();
    button->setText(QString::fromStdString(t.caption));
    if (!t.finished)
        return;
    m_timer.stop();
    setButtonsEnabled(true);
    if (t.message)
        m_app.dialogs().message(this, QString::fromStdString(*t.message));
}

void RO2000ScanPoll::loadFile()
{
    FileRequest request;
    request.title = u8(texts::kLoadButton);
    request.filter = u8(texts::kIniFilter);
    request.defaultSuffix = u8(texts::kIniSuffix);
    const FileChoice choice = m_app.dialogs().openFile(this, request);
    if (choice.path.isEmpty())
        return;
    m_app.appendLog(u8(texts::kFilePathLog) + choice.path + QStringLiteral("\r\n"));
    const IniLoadResult r = loadParamIni(localPath(choice.path));
    if (!r.openError.empty()) {
        m_app.dialogs().message(this, u8(texts::kIniCannotOpen) + choice.path + QStringLiteral(", ")
                                          + QString::fromStdString(r.openError));
        return;
    }
    if (!r.ok) {
        m_app.appendLog(missingKeyLine(r));
        return;
    }
    showParamBlock(r.block);
}

void RO2000ScanPoll::exportFile()
{
    const CollectResult collected = collectBlock(pageValues(), m_block, CollectBase::OverCurrent);
    if (!collected.ok) {
        m_app.dialogs().message(this, QString::fromStdString(collected.message));
        return;
    }
    FileRequest request;
    request.title = u8(texts::kExportButton);
    request.filter = u8(texts::kIniFilter);
    request.defaultSuffix = u8(texts::kExportSuffix);
    const FileChoice choice = m_app.dialogs().saveFile(this, request);
    if (choice.path.isEmpty())
        return;
    const IniExportResult r = exportParamIni(collected.block, localPath(choice.path));
    if (!r.ok) {
        m_app.dialogs().message(this, QString::fromStdString(r.message));
        return;
    }
    m_app.appendLog(u8(texts::kExportDone) + choice.path + QStringLiteral("\r\n"));
}

} // namespace qx
