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
#include <QVBoxLayout>

#include "app_main.h"
#include "captions.h"
#include "common_texts.h"
#include "config_texts.h"
#include "dialogs.h"
#include "event_codes.h"
#include "firmware_box.h"
#include "page_layout.h"
#include "param_answers.h"
#include "param_ini.h"
#include "param_ini_export.h"
#include "param_requests.h"
#include "param_values.h"
#include "ui_text.h"

namespace qx {

namespace {

std::filesystem::path localPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
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
    m_answers[0] = m_app.hooks().add(kEventParamsRead, [this](const uint8_t *record) {
        const ParamReadAnswer answer = readParamReadEvent(record);
        if (!m_countdown.answered(ConfigCountdown::Read, answer.ok))
            return;
        if (answer.ok)
            showParamBlock(answer.block);
        else
            m_app.dialogs().message(this, uiText(answer.message));
    });
    m_answers[1] = m_app.hooks().add(kEventParamsWritten, [this](const uint8_t *record) {
        const ParamWriteAnswer answer = readParamWriteEvent(record);
        if (m_countdown.answered(ConfigCountdown::Write, answer.written))
            m_app.dialogs().message(this, uiText(answer.message));
    });
}

// --- widgets ----------------------------------------------------------------------

void RO2000ScanPoll::buildControls()
{
    QWidget *content = scrollingContent(this);
    auto *page = new QVBoxLayout(content);
    // narrow margins: on a 1920 px screen the widest arrangement needs them
    page->setContentsMargins(4, 4, 4, 4);

    QWidget *system = buildBox(PageGroup::System, config_texts::kBoxSystem);
    QWidget *com = buildBox(PageGroup::Com, config_texts::kBoxCom);
    QWidget *eth = buildBox(PageGroup::Eth, config_texts::kBoxEth);
    QWidget *wifi = buildBox(PageGroup::Wifi, config_texts::kBoxWifi);
    QWidget *lora = buildBox(PageGroup::Lora, config_texts::kBoxLora);
    QWidget *dio = buildBox(PageGroup::Dio, config_texts::kBoxDio, 2, 6);
    auto *config = new QGroupBox(uiText(config_texts::kBoxConfig), content);
    auto *buttons = new QGridLayout(config);
    m_ui.read = new QPushButton(uiText(config_texts::kReadButton), config);
    m_ui.write = new QPushButton(uiText(config_texts::kWriteButton), config);
    m_ui.load = new QPushButton(uiText(config_texts::kLoadButton), config);
    m_ui.exportIni = new QPushButton(uiText(config_texts::kExportButton), config);
    buttons->addWidget(m_ui.read, 0, 0);
    buttons->addWidget(m_ui.write, 0, 1);
    buttons->addWidget(m_ui.load, 1, 0);
    buttons->addWidget(m_ui.exportIni, 1, 1);
    m_firmware = new FirmwareBox(m_app, content);
    connect(m_firmware, &FirmwareBox::transferRunning, this, [this](bool running) {
        m_transferRunning = running;
        setButtonsEnabled(!m_countdown.running());
    });

    // SYSTEM and COM1, then ETH with the commands and the firmware box, then
    // WIFI and LORA over DIO; on a narrower page DIO goes under all three
    using P = BoxPart;
    auto *boxes = new AdaptiveBoxes(content);
    boxes->addArrangement(P::row({P::column({system, com}), P::column({eth, config, m_firmware}),
                                  P::column({P::row({wifi, lora}), dio}, 2)}));
    boxes->addArrangement(P::column({P::row({P::column({system, com, config, m_firmware}), P::column({eth, lora}),
                                             P::column({wifi})}),
                                     dio}));
    page->addWidget(boxes);
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
        auto *e = new QLineEdit(uiText(common_texts::kNotAvailable), parent);
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
            l->addItem(uiText(e.label));
        l->setCurrentIndex(static_cast<int>(values->defaultIndex));
        w = l;
        break;
    }
    case ControlKind::Check:
        w = new QCheckBox(uiText(config_texts::kCheckCaption), parent);
        break;
    }
    w->setObjectName(uiText(c.name));
    m_controls.emplace(c.name, w);
    return w;
}

QWidget *RO2000ScanPoll::buildBox(PageGroup group, const char *title, int fieldColumns, int listColumns)
{
    auto *box = new QGroupBox(uiText(title), this);
    auto *layout = new QVBoxLayout(box);
    auto *fields = new QGridLayout; // caption, field and hint, `fieldColumns` to a row
    auto *lists = new QGridLayout; // DIO: IO1..IO24, `listColumns` to a row
    // the page holds some seventy fields: rows close together
    fields->setVerticalSpacing(2);
    lists->setVerticalSpacing(2);
    layout->addLayout(fields);
    layout->addLayout(lists);
    int field = 0;
    int list = 0;
    for (const PageControl &c : pageControls()) {
        if (c.group != group)
            continue;
        QWidget *w = makeControl(c, box);
        QLabel *caption = captionFor(w, uiText(c.caption), box);
        if (group == PageGroup::Dio && c.kind == ControlKind::List) {
            lists->addWidget(caption, list / listColumns, 2 * (list % listColumns));
            lists->addWidget(w, list / listColumns, 2 * (list % listColumns) + 1);
            ++list;
            continue;
        }
        const int row = field / fieldColumns;
        const int column = 3 * (field % fieldColumns);
        fields->addWidget(caption, row, column);
        fields->addWidget(w, row, column + 1);
        if (!c.hint.empty())
            fields->addWidget(new QLabel(uiText(c.hint), box), row, column + 2);
        ++field;
    }
    return box;
}

QWidget *RO2000ScanPoll::buildReserv()
{
    m_ui.reserv = new QGroupBox(uiText(config_texts::kBoxReserv), this);
    auto *grid = new QGridLayout(m_ui.reserv);
    // byRes and dwRes eight to a row under one caption each; the texts in
    // pairs, "szRes1~2:" .. "szRes9~10:"
    auto family = [&](const char *prefix, const char *caption, int count, int &row) {
        QLabel *label = nullptr;
        for (int i = 0; i < count; ++i) {
            const std::string name = prefix + std::to_string(i + 1);
            const PageControl &c = pageControl(name);
            QWidget *w = makeControl(c, m_ui.reserv);
            w->setAccessibleName(uiText(name));
            if (label == nullptr) {
                label = new QLabel(uiText(caption), m_ui.reserv);
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
        auto *label = new QLabel(uiText(kTextCaptions[pair]), m_ui.reserv);
        grid->addWidget(label, row, 0);
        for (int k = 0; k < 2; ++k) {
            const std::string name = "szRes" + std::to_string(2 * pair + k + 1);
            const PageControl &c = pageControl(name);
            QWidget *w = makeControl(c, m_ui.reserv);
            w->setAccessibleName(uiText(name));
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
            e->setText(uiText(s.text));
        else if (auto *l = qobject_cast<QComboBox *>(w))
            showListState(*l, *pageControl(name).values, s);
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            c->setChecked(s.checked);
    }
    m_ui.reserv->setVisible(view.reservVisible);
    m_app.dialogs().message(this, uiText(config_texts::kReadDone));
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

bool RO2000ScanPoll::placeRequest()
{
    m_app.clearReceiveBuffer();
    return m_app.sendRequest(m_request.slot, m_request.record, m_request.length);
}

void RO2000ScanPoll::readModule()
{
    setButtonsEnabled(false);
    m_request = paramReadRequest();
    // a refused address has been explained to the operator; nothing went out
    if (!placeRequest()) {
        setButtonsEnabled(true);
        return;
    }
    m_countdown.start(ConfigCountdown::Read);
    m_timer.start();
}

void RO2000ScanPoll::writeModule()
{
    if (!m_app.dialogs().confirm(this, uiText(config_texts::kWriteConfirm)))
        return;
    setButtonsEnabled(false);
    const CollectResult collected = collectBlock(pageValues(), m_block);
    if (!collected.ok) {
        m_app.dialogs().message(this, uiText(collected.message));
        setButtonsEnabled(true);
        return;
    }
    m_block = collected.block;
    m_request = paramWriteRequest(m_block);
    if (!placeRequest()) {
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
    if (t.resend)
        placeRequest();
    button->setText(uiText(t.caption));
    if (!t.finished)
        return;
    m_timer.stop();
    setButtonsEnabled(true);
    if (t.message)
        m_app.dialogs().message(this, uiText(*t.message));
}

void RO2000ScanPoll::loadFile()
{
    FileRequest request;
    request.title = uiText(config_texts::kLoadButton);
    request.filter = uiText(config_texts::kIniFilter);
    request.defaultSuffix = uiText(config_texts::kIniSuffix);
    const FileChoice choice = m_app.dialogs().openFile(this, request);
    if (choice.path.isEmpty())
        return;
    m_app.logFilePath(choice.path);
    const IniLoadResult r = loadParamIni(localPath(choice.path));
    if (!r.openError.empty()) {
        m_app.dialogs().message(this, uiText(config_texts::kIniCannotOpen) + choice.path + QStringLiteral(", ")
                                          + uiText(r.openError));
        return;
    }
    if (!r.ok) {
        m_app.appendLog(uiText(missingKeyLine(r)));
        return;
    }
    showParamBlock(r.block);
}

void RO2000ScanPoll::exportFile()
{
    const CollectResult collected = collectBlock(pageValues(), m_block, CollectBase::OverCurrent);
    if (!collected.ok) {
        m_app.dialogs().message(this, uiText(collected.message));
        return;
    }
    FileRequest request;
    request.title = uiText(config_texts::kExportButton);
    request.filter = uiText(config_texts::kIniFilter);
    request.defaultSuffix = uiText(config_texts::kExportSuffix);
    const FileChoice choice = m_app.dialogs().saveFile(this, request);
    if (choice.path.isEmpty())
        return;
    const IniExportResult r = exportParamIni(collected.block, localPath(choice.path));
    if (!r.ok) {
        m_app.dialogs().message(this, uiText(r.message));
        return;
    }
    m_app.appendLog(uiText(config_texts::kExportDone) + choice.path + QStringLiteral("\r\n"));
}

} // namespace qx
