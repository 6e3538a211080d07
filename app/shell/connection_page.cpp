#include "connection_page.h"

#include <functional>

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app_main.h"
#include "captions.h"
#include "command_line.h"
#include "common_texts.h"
#include "dialogs.h"
#include "serial_devices.h"
#include "shell_texts.h"
#include "ui_text.h"

namespace qx {

namespace {

// The serial device list reads /dev again whenever the operator opens it, so
// an adapter plugged in after start shows up.
class SerialPortList : public QComboBox
{
public:
    SerialPortList(std::function<void()> rescan, QWidget *parent)
        : QComboBox(parent)
        , m_rescan(std::move(rescan))
    {
    }

    void showPopup() override
    {
        m_rescan();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_rescan;
};

std::vector<NetworkAdapter> systemAdapters()
{
    std::vector<NetworkAdapter> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &ni : interfaces) {
        NetworkAdapter a;
        a.description = ni.humanReadableName().toStdString();
        a.loopback = ni.flags().testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry &e : ni.addressEntries()) {
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol)
                a.addresses.push_back(e.ip().toString().toStdString());
        }
        // An adapter without an IPv4 address offers nothing to open on.
        if (!a.addresses.empty())
            out.push_back(a);
    }
    return out;
}

QLineEdit *ipEdit(QWidget *parent)
{
    auto *e = new QLineEdit(uiText(shell_texts::kDefaultModuleIp), parent);
    const QString part = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");
    e->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^%1(\\.%1){0,3}$").arg(part)), e));
    return e;
}

QLineEdit *portEdit(QWidget *parent)
{
    auto *e = new QLineEdit(uiText(shell_texts::kDefaultPort), parent);
    e->setMaxLength(31);
    return e;
}

QLabel *statusLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(uiText(shell_texts::kNotConnected), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(260);
    return l;
}

std::size_t groupIndex(ConnectionKind kind)
{
    return static_cast<std::size_t>(kind) - 1;
}

} // namespace

ConnectionPage::ConnectionPage(AppMain &app, QWidget *parent, const std::vector<NetworkAdapter> *adapters)
    : QWidget(parent)
    , m_app(app)
{
    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    root->addLayout(left, 3);
    left->addWidget(buildCommonGroup());
    auto *groups = new QGridLayout;
    groups->addWidget(buildServerGroup(), 0, 0);
    groups->addWidget(buildClientGroup(), 0, 1);
    groups->addWidget(buildUdpGroup(), 1, 0);
    groups->addWidget(buildSerialGroup(), 1, 1);
    left->addLayout(groups);
    left->addStretch(1);
    root->addWidget(buildIdentityGroup(), 2);
    nameGroupControls();
    connectControls();

    groupReset();
    fillAdapters(adapters);
}

QGroupBox *ConnectionPage::buildCommonGroup()
{
    auto *box = new QGroupBox(this);
    auto *grid = new QGridLayout(box);
    m_ui.adapter = new QComboBox(box);
    m_ui.localIp = new QComboBox(box);
    m_ui.modbusAddress = new QLineEdit(uiText(shell_texts::kDefaultModbusAddress), box);
    m_ui.modbusAddress->setMaxLength(31);
    grid->addWidget(captionFor(m_ui.adapter, shell_texts::kLabelAdapter, box), 0, 0);
    grid->addWidget(m_ui.adapter, 0, 1);
    grid->addWidget(captionFor(m_ui.localIp, shell_texts::kLabelLocalIp, box), 0, 2);
    grid->addWidget(m_ui.localIp, 0, 3);
    grid->addWidget(captionFor(m_ui.modbusAddress, shell_texts::kLabelModbusAddress, box), 1, 0);
    grid->addWidget(m_ui.modbusAddress, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

ConnectionPage::Group &ConnectionPage::startGroup(ConnectionKind kind, QGroupBox *box, const char *radio,
                                                 const char *open, const char *close, const char *statusName)
{
    Group &g = group(kind);
    g.radio = new QRadioButton(uiText(radio), box);
    g.open = new QPushButton(uiText(open), box);
    g.close = new QPushButton(uiText(close), box);
    g.status = statusLabel(box, statusName);
    return g;
}

// A transport's box, row by row: its radio, its captioned settings, its two
// buttons, its status and, for the server, the module that connected.
void ConnectionPage::layOutGroup(QGroupBox *box, const Group &g,
                                 std::initializer_list<std::pair<QWidget *, const char *>> settings, QLabel *peer)
{
    auto *grid = new QGridLayout(box);
    int row = 0;
    auto captioned = [&](QWidget *field, const char *caption) {
        grid->addWidget(captionFor(field, caption, box), row, 0);
        grid->addWidget(field, row++, 1);
    };
    grid->addWidget(g.radio, row++, 0, 1, 2);
    for (const auto &[field, caption] : settings)
        captioned(field, caption);
    grid->addWidget(g.open, row, 0);
    grid->addWidget(g.close, row++, 1);
    captioned(g.status, shell_texts::kLabelStatus);
    if (peer)
        captioned(peer, shell_texts::kLabelPeer);
    grid->setColumnStretch(1, 1);
}

QGroupBox *ConnectionPage::buildServerGroup()
{
    auto *box = new QGroupBox(this);
    Group &g = startGroup(ConnectionKind::TcpServer, box, shell_texts::kRadioTcpServer, shell_texts::kButtonListen,
                          shell_texts::kButtonDisconnect, "serverStatus");
    m_ui.listenPort = portEdit(box);
    m_ui.peer = new QLabel(uiText(shell_texts::kNoPeer), box);
    g.settings = {m_ui.listenPort};
    layOutGroup(box, g, {{m_ui.listenPort, shell_texts::kLabelListenPort}}, m_ui.peer);
    return box;
}

QGroupBox *ConnectionPage::buildClientGroup()
{
    auto *box = new QGroupBox(this);
    Group &g = startGroup(ConnectionKind::TcpClient, box, shell_texts::kRadioTcpClient, shell_texts::kButtonConnect,
                          shell_texts::kButtonDisconnect, "clientStatus");
    m_ui.clientIp = ipEdit(box);
    m_ui.clientPort = portEdit(box);
    g.settings = {m_ui.clientIp, m_ui.clientPort};
    layOutGroup(box, g, {{m_ui.clientIp, shell_texts::kLabelModuleIp}, {m_ui.clientPort, shell_texts::kLabelModulePort}});
    return box;
}

QGroupBox *ConnectionPage::buildUdpGroup()
{
    auto *box = new QGroupBox(this);
    Group &g = startGroup(ConnectionKind::Udp, box, shell_texts::kRadioUdp, shell_texts::kButtonConnect, shell_texts::kButtonDisconnect,
                          "udpStatus");
    m_ui.udpIp = ipEdit(box);
    m_ui.udpPort = portEdit(box);
    m_ui.udpLocalPort = portEdit(box);
    g.settings = {m_ui.udpIp, m_ui.udpPort, m_ui.udpLocalPort};
    layOutGroup(box, g,
                {{m_ui.udpIp, shell_texts::kLabelModuleIp},
                 {m_ui.udpPort, shell_texts::kLabelModulePort},
                 {m_ui.udpLocalPort, shell_texts::kLabelPcPort}});
    return box;
}

QGroupBox *ConnectionPage::buildSerialGroup()
{
    auto *box = new QGroupBox(this);
    Group &g = startGroup(ConnectionKind::Serial, box, shell_texts::kRadioSerial, shell_texts::kButtonOpen, shell_texts::kButtonClose,
                          "serialStatus");
    m_ui.serialPort = new SerialPortList([this] { rescanSerialPorts(); }, box);
    m_ui.serialPort->setEditable(true);
    m_ui.serialPort->setInsertPolicy(QComboBox::NoInsert);
    rescanSerialPorts();
    m_ui.serialPort->setCurrentIndex(0);
    m_ui.baudRate = new QComboBox(box);
    for (uint32_t baud : kBaudRates)
        m_ui.baudRate->addItem(QString::number(baud));
    m_ui.baudRate->setCurrentIndex(kDefaultBaudIndex);
    m_ui.dataBits = new QComboBox(box);
    m_ui.dataBits->addItems({QStringLiteral("7"), QStringLiteral("8")});
    m_ui.dataBits->setCurrentIndex(1);
    m_ui.parity = new QComboBox(box);
    m_ui.parity->addItems({uiText(shell_texts::kParityNone), uiText(shell_texts::kParityOdd), uiText(shell_texts::kParityEven),
                           uiText(shell_texts::kParityMark)});
    m_ui.stopBits = new QComboBox(box);
    m_ui.stopBits->addItems({QStringLiteral("1"), QStringLiteral("2")});
    g.settings = {m_ui.serialPort, m_ui.baudRate, m_ui.dataBits, m_ui.parity, m_ui.stopBits};
    layOutGroup(box, g,
                {{m_ui.serialPort, shell_texts::kLabelSerialPort},
                 {m_ui.baudRate, shell_texts::kLabelBaudRate},
                 {m_ui.dataBits, shell_texts::kLabelDataBits},
                 {m_ui.parity, shell_texts::kLabelParity},
                 {m_ui.stopBits, shell_texts::kLabelStopBits}});
    return box;
}

QGroupBox *ConnectionPage::buildIdentityGroup()
{
    auto *box = new QGroupBox(this);
    auto *grid = new QGridLayout(box);
    const char *labels[kIdentityFieldCount] = {
        shell_texts::kLabelFirmwareVersion, shell_texts::kLabelDriverVersion, shell_texts::kLabelModel,
        shell_texts::kLabelSeries,          shell_texts::kLabelSerialNumber,  shell_texts::kLabelFactoryDate,
        shell_texts::kLabelDescription,
    };
    for (int i = 0; i < kIdentityFieldCount; ++i) {
        m_ui.identity[i] = new QLabel(uiText(common_texts::kNotAvailable), box);
        m_ui.identity[i]->setObjectName(QStringLiteral("identity%1").arg(i));
        m_ui.identity[i]->setWordWrap(true);
        m_ui.identity[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(captionFor(m_ui.identity[i], labels[i], box), i, 0, Qt::AlignTop);
        grid->addWidget(m_ui.identity[i], i, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(kIdentityFieldCount, 1);
    box->setMinimumWidth(320);
    return box;
}

void ConnectionPage::nameGroupControls()
{
    const Group &server = group(ConnectionKind::TcpServer);
    const Group &client = group(ConnectionKind::TcpClient);
    const Group &udp = group(ConnectionKind::Udp);
    const Group &serial = group(ConnectionKind::Serial);
    m_ui.tcpServer = server.radio;
    m_ui.listen = server.open;
    m_ui.serverClose = server.close;
    m_ui.serverStatus = server.status;
    m_ui.tcpClient = client.radio;
    m_ui.clientConnect = client.open;
    m_ui.clientClose = client.close;
    m_ui.clientStatus = client.status;
    m_ui.udp = udp.radio;
    m_ui.udpConnect = udp.open;
    m_ui.udpClose = udp.close;
    m_ui.udpStatus = udp.status;
    m_ui.serial = serial.radio;
    m_ui.serialOpen = serial.open;
    m_ui.serialClose = serial.close;
    m_ui.serialStatus = serial.status;
}

void ConnectionPage::connectControls()
{
    m_radios = new QButtonGroup(this);
    for (ConnectionKind kind : kConnectionKinds) {
        m_radios->addButton(group(kind).radio, static_cast<int>(kind));
        connect(group(kind).close, &QPushButton::clicked, this, [this, kind] { closeKind(kind); });
    }
    connect(m_radios, &QButtonGroup::idClicked, this,
            [this](int id) { chooseKind(static_cast<ConnectionKind>(id)); });
    connect(m_ui.listen, &QPushButton::clicked, this, &ConnectionPage::listen);
    connect(m_ui.clientConnect, &QPushButton::clicked, this, &ConnectionPage::connectClient);
    connect(m_ui.udpConnect, &QPushButton::clicked, this, &ConnectionPage::connectUdp);
    connect(m_ui.serialOpen, &QPushButton::clicked, this, &ConnectionPage::openSerial);
    connect(m_ui.adapter, &QComboBox::activated, this, &ConnectionPage::adapterChosen);
    connect(m_ui.localIp, &QComboBox::activated, this, &ConnectionPage::addressChosen);
}

void ConnectionPage::fillAdapters(const std::vector<NetworkAdapter> *adapters)
{
    m_adapters = orderAdapters(adapters ? *adapters : systemAdapters());
    if (m_adapters.empty()) {
        message(shell_texts::kAdapterListFailed);
        m_adapters.push_back({"lo", {"127.0.0.1"}, true});
    }
    for (const NetworkAdapter &a : m_adapters)
        m_ui.adapter->addItem(uiText(a.description));
    m_ui.adapter->setCurrentIndex(0);
    adapterChosen(0);
}

void ConnectionPage::rescanSerialPorts()
{
    const QString typed = m_ui.serialPort->currentText();
    m_ui.serialPort->clear();
    for (const auto &path : listSerialDevices())
        m_ui.serialPort->addItem(uiText(path));
    m_ui.serialPort->setEditText(typed);
}

void ConnectionPage::adapterChosen(int index)
{
    m_ui.localIp->clear();
    if (index < 0 || index >= static_cast<int>(m_adapters.size()))
        return;
    for (const std::string &address : m_adapters[static_cast<std::size_t>(index)].addresses)
        m_ui.localIp->addItem(uiText(address));
    m_ui.localIp->setCurrentIndex(0);
}

void ConnectionPage::addressChosen(int)
{
    if (!isUsableLocalAddress(m_ui.localIp->currentText().toStdString(), m_adapters))
        message(shell_texts::kInvalidAdapter);
}

void ConnectionPage::selectAdapterAddress(const AdapterAddress &at)
{
    m_ui.adapter->setCurrentIndex(static_cast<int>(at.adapter));
    adapterChosen(static_cast<int>(at.adapter));
    m_ui.localIp->setCurrentIndex(static_cast<int>(at.address));
}

bool ConnectionPage::selectLocalAddress(const QString &address)
{
    auto at = findAdapterAddress(m_adapters, address.toStdString());
    if (at)
        selectAdapterAddress(*at);
    return at.has_value();
}

QString ConnectionPage::modbusAddressText() const
{
    return m_ui.modbusAddress->text();
}

void ConnectionPage::message(const char *text)
{
    m_app.dialogs().message(this, uiText(text));
}

bool ConnectionPage::checkLocalAddress(const char *refusal, QString &local)
{
    local = m_ui.localIp->currentText();
    if (!isUsableLocalAddress(local.toStdString(), m_adapters)) {
        message(refusal);
        return false;
    }
    return true;
}

bool ConnectionPage::readPort(QLineEdit *edit, uint16_t &port)
{
    PortResult r = parsePort(edit->text().toStdString());
    if (!r.ok) {
        message(r.message.c_str());
        edit->setFocus();
        return false;
    }
    port = r.port;
    return true;
}

ConnectionPage::Group &ConnectionPage::group(ConnectionKind kind)
{
    return m_groups[groupIndex(kind)];
}

const ConnectionPage::Group *ConnectionPage::groupOf(ConnectionKind kind) const
{
    return kind == ConnectionKind::None ? nullptr : &m_groups[groupIndex(kind)];
}

void ConnectionPage::applyControlStates()
{
    const ControlStates states = m_state.controls();
    for (QAbstractButton *b : m_radios->buttons())
        b->setEnabled(states.radios);
    for (ConnectionKind kind : kConnectionKinds) {
        const bool live = kind == m_state.liveGroup();
        Group &g = group(kind);
        for (QWidget *w : g.settings)
            w->setEnabled(live && states.group.settings);
        g.open->setEnabled(live && states.group.open);
        g.close->setEnabled(live && states.group.close);
    }
    m_ui.peer->setEnabled(m_ui.serverClose->isEnabled());
}

void ConnectionPage::chooseKind(ConnectionKind kind)
{
    if (m_state.choose(kind))
        groupReset();
    if (QAbstractButton *b = m_radios->button(static_cast<int>(kind)))
        b->setChecked(true);
}

void ConnectionPage::groupReset()
{
    applyControlStates();
    for (ConnectionKind k : kConnectionKinds)
        setStatus(k, uiText(shell_texts::kNotConnected));
    setPeerText(uiText(shell_texts::kNoPeer));
    resetIdentity();
}

void ConnectionPage::finishOpen(ConnectionKind kind, const SettingsResult &settings)
{
    if (!settings.ok) {
        message(settings.message.c_str());
        return;
    }
    const OpenOutcome outcome = openOutcome(kind, m_app.openPort(settings.settings));
    if (outcome.message)
        message(outcome.message);
    m_state.opened(kind, outcome);
    applyControlStates();
    if (outcome.status)
        setStatus(kind, uiText(outcome.status));
}

void ConnectionPage::listen()
{
    QString local;
    uint16_t port = 0;
    if (!m_app.requestAddress() || !checkLocalAddress(shell_texts::kListenNeedsAdapter, local)
        || !readPort(m_ui.listenPort, port))
        return;
    finishOpen(ConnectionKind::TcpServer, buildTcpServerSettings(local.toStdString(), port));
}

void ConnectionPage::connectClient()
{
    QString local;
    uint16_t port = 0;
    if (!m_app.requestAddress() || !checkLocalAddress(shell_texts::kConnectNeedsAdapter, local)
        || !readPort(m_ui.clientPort, port))
        return;
    finishOpen(ConnectionKind::TcpClient,
               buildTcpClientSettings(local.toStdString(), m_ui.clientIp->text().toStdString(), port));
}

void ConnectionPage::connectUdp()
{
    QString local;
    uint16_t port = 0;
    uint16_t localPort = 0;
    if (!m_app.requestAddress() || !checkLocalAddress(shell_texts::kConnectNeedsAdapter, local)
        || !readPort(m_ui.udpPort, port) || !readPort(m_ui.udpLocalPort, localPort))
        return;
    finishOpen(ConnectionKind::Udp, buildUdpSettings(local.toStdString(), m_ui.udpIp->text().toStdString(),
                                                     port, localPort));
}

void ConnectionPage::openSerial()
{
    if (!m_app.requestAddress())
        return;
    SerialChoice c;
    c.path = m_ui.serialPort->currentText().trimmed().toStdString();
    // Items are the decimal rates themselves (the command line may add one).
    c.baudRate = m_ui.baudRate->currentText().toUInt();
    c.dataBits = kDataBits[static_cast<std::size_t>(std::max(0, m_ui.dataBits->currentIndex()))];
    c.parity = static_cast<uint8_t>(std::max(0, m_ui.parity->currentIndex()));
    c.stopBits = kStopBitCodes[static_cast<std::size_t>(std::max(0, m_ui.stopBits->currentIndex()))];
    finishOpen(ConnectionKind::Serial, buildSerialSettings(c));
}

void ConnectionPage::closeKind(ConnectionKind kind)
{
    if (kind == ConnectionKind::TcpClient)
        setStatus(kind, uiText(shell_texts::kDisconnecting));
    m_app.destroyPort();
    m_state.closed(kind);
    groupReset();
}

void ConnectionPage::setStatus(ConnectionKind kind, const QString &text)
{
    if (const Group *g = groupOf(kind))
        g->status->setText(text);
}

QString ConnectionPage::status(ConnectionKind kind) const
{
    const Group *g = groupOf(kind);
    return g ? g->status->text() : QString();
}

void ConnectionPage::setPeerText(const QString &text)
{
    m_ui.peer->setText(text);
}

void ConnectionPage::setIdentity(const IdentityView &v)
{
    const std::string *values[kIdentityFieldCount] = {
        &v.firmwareVersion, &v.driverVersion, &v.modelName, &v.series,
        &v.serialNumber,    &v.factoryDate,   &v.description,
    };
    for (int i = 0; i < kIdentityFieldCount; ++i)
        m_ui.identity[i]->setText(uiText(*values[i]));
}

void ConnectionPage::resetIdentity()
{
    for (QLabel *l : m_ui.identity)
        l->setText(uiText(common_texts::kNotAvailable));
}

QString ConnectionPage::identity(IdentityField field) const
{
    return m_ui.identity[field]->text();
}

void ConnectionPage::applyConnectionEffect(const ConnectionEffect &effect, const QString &peer)
{
    if (effect.status)
        setStatus(effect.statusOf, uiText(effect.status));
    if (effect.showPeer)
        setPeerText(peer);
    if (effect.clearPeer)
        setPeerText(uiText(shell_texts::kNoPeer));
    if (effect.resetIdentity)
        resetIdentity();
    if (effect.peerClosed) {
        m_state.peerClosed();
        applyControlStates();
    }
}

void ConnectionPage::applyConnectTarget(const ConnectTarget &t)
{
    chooseKind(t.kind);
    if (auto at = localAddressFor(t, m_adapters))
        selectAdapterAddress(*at);
    else if (t.kind == ConnectionKind::TcpServer && !t.host.empty())
        qWarning("qxtools: %s belongs to no adapter; listening on %s instead", t.host.c_str(),
                 qPrintable(m_ui.localIp->currentText()));
    const QString host = uiText(t.host);
    switch (t.kind) {
    case ConnectionKind::TcpClient:
        m_ui.clientIp->setText(host);
        m_ui.clientPort->setText(QString::number(t.port));
        connectClient();
        break;
    case ConnectionKind::Udp:
        m_ui.udpIp->setText(host);
        m_ui.udpPort->setText(QString::number(t.port));
        if (t.localPort)
            m_ui.udpLocalPort->setText(QString::number(*t.localPort));
        connectUdp();
        break;
    case ConnectionKind::TcpServer:
        m_ui.listenPort->setText(QString::number(t.port));
        listen();
        break;
    case ConnectionKind::Serial:
        m_ui.serialPort->setEditText(uiText(t.path));
        if (t.baudRate) {
            int at = m_ui.baudRate->findText(QString::number(*t.baudRate));
            if (at < 0) {
                m_ui.baudRate->addItem(QString::number(*t.baudRate));
                at = m_ui.baudRate->count() - 1;
            }
            m_ui.baudRate->setCurrentIndex(at);
        }
        openSerial();
        break;
    case ConnectionKind::None:
        break;
    }
}

} // namespace qx
