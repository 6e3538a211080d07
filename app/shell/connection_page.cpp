#include "connection_page.h"

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
#include "command_line.h"
#include "dialogs.h"
#include "port_settings_builder.h"
#include "serial_devices.h"
#include "shell_texts.h"

namespace qx {

namespace {

QString tr8(const char *text)
{
    return QString::fromUtf8(text);
}

std::vector<ConnectionPage::Adapter> systemAdapters()
{
    std::vector<ConnectionPage::Adapter> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &ni : interfaces) {
        ConnectionPage::Adapter a;
        a.description = ni.humanReadableName();
        for (const QNetworkAddressEntry &e : ni.addressEntries()) {
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol)
                a.addresses.append(e.ip().toString());
        }
        // An adapter without an IPv4 address offers nothing to open on.
        if (!a.addresses.isEmpty())
            out.push_back(a);
    }
    return out;
}

QLineEdit *ipEdit(QWidget *parent)
{
    auto *e = new QLineEdit(tr8(texts::kDefaultModuleIp), parent);
    const QString part = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");
    e->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^%1(\\.%1){0,3}$").arg(part)), e));
    return e;
}

QLineEdit *portEdit(QWidget *parent)
{
    auto *e = new QLineEdit(tr8(texts::kDefaultPort), parent);
    e->setMaxLength(31);
    return e;
}

void enableAll(std::initializer_list<QWidget *> widgets, bool on)
{
    for (QWidget *w : widgets)
        w->setEnabled(on);
}

QLabel *statusLabel(QWidget *parent, const char *name)
{
    auto *l = new QLabel(tr8(texts::kNotConnected), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(260);
    return l;
}

} // namespace

ConnectionPage::ConnectionPage(AppMain &app, QWidget *parent, const std::vector<Adapter> *adapters)
    : QWidget(parent)
    , m_app(app)
{
    buildControls();
    groupReset(false, false, false, false);
    fillAdapters(adapters);
}

void ConnectionPage::buildControls()
{
    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    root->addLayout(left, 3);

    // network adapter and Modbus address
    auto *common = new QGroupBox(this);
    auto *cg = new QGridLayout(common);
    m_ui.adapter = new QComboBox(common);
    m_ui.localIp = new QComboBox(common);
    m_ui.modbusAddress = new QLineEdit(tr8(texts::kDefaultModbusAddress), common);
    m_ui.modbusAddress->setMaxLength(31);
    cg->addWidget(new QLabel(tr8(texts::kLabelAdapter), common), 0, 0);
    cg->addWidget(m_ui.adapter, 0, 1);
    cg->addWidget(new QLabel(tr8(texts::kLabelLocalIp), common), 0, 2);
    cg->addWidget(m_ui.localIp, 0, 3);
    cg->addWidget(new QLabel(tr8(texts::kLabelModbusAddress), common), 1, 0);
    cg->addWidget(m_ui.modbusAddress, 1, 1);
    cg->setColumnStretch(1, 1);
    cg->setColumnStretch(3, 1);
    left->addWidget(common);

    auto *groups = new QGridLayout;
    left->addLayout(groups);
    left->addStretch(1);

    // TCP server
    auto *server = new QGroupBox(this);
    auto *sg = new QGridLayout(server);
    m_ui.tcpServer = new QRadioButton(tr8(texts::kRadioTcpServer), server);
    m_ui.listenPort = portEdit(server);
    m_ui.listen = new QPushButton(tr8(texts::kButtonListen), server);
    m_ui.serverClose = new QPushButton(tr8(texts::kButtonDisconnect), server);
    m_ui.serverStatus = statusLabel(server, "serverStatus");
    m_ui.peer = new QLabel(tr8(texts::kNoPeer), server);
    sg->addWidget(m_ui.tcpServer, 0, 0, 1, 2);
    sg->addWidget(new QLabel(tr8(texts::kLabelListenPort), server), 1, 0);
    sg->addWidget(m_ui.listenPort, 1, 1);
    sg->addWidget(m_ui.listen, 2, 0);
    sg->addWidget(m_ui.serverClose, 2, 1);
    sg->addWidget(new QLabel(tr8(texts::kLabelStatus), server), 3, 0);
    sg->addWidget(m_ui.serverStatus, 3, 1);
    sg->addWidget(new QLabel(tr8(texts::kLabelPeer), server), 4, 0);
    sg->addWidget(m_ui.peer, 4, 1);
    groups->addWidget(server, 0, 0);

    // TCP client
    auto *client = new QGroupBox(this);
    auto *tg = new QGridLayout(client);
    m_ui.tcpClient = new QRadioButton(tr8(texts::kRadioTcpClient), client);
    m_ui.clientIp = ipEdit(client);
    m_ui.clientPort = portEdit(client);
    m_ui.clientConnect = new QPushButton(tr8(texts::kButtonConnect), client);
    m_ui.clientClose = new QPushButton(tr8(texts::kButtonDisconnect), client);
    m_ui.clientStatus = statusLabel(client, "clientStatus");
    tg->addWidget(m_ui.tcpClient, 0, 0, 1, 2);
    tg->addWidget(new QLabel(tr8(texts::kLabelModuleIp), client), 1, 0);
    tg->addWidget(m_ui.clientIp, 1, 1);
    tg->addWidget(new QLabel(tr8(texts::kLabelModulePort), client), 2, 0);
    tg->addWidget(m_ui.clientPort, 2, 1);
    tg->addWidget(m_ui.clientConnect, 3, 0);
    tg->addWidget(m_ui.clientClose, 3, 1);
    tg->addWidget(new QLabel(tr8(texts::kLabelStatus), client), 4, 0);
    tg->addWidget(m_ui.clientStatus, 4, 1);
    groups->addWidget(client, 0, 1);

    // UDP
    auto *udp = new QGroupBox(this);
    auto *ug = new QGridLayout(udp);
    m_ui.udp = new QRadioButton(tr8(texts::kRadioUdp), udp);
    m_ui.udpIp = ipEdit(udp);
    m_ui.udpPort = portEdit(udp);
    m_ui.udpLocalPort = portEdit(udp);
    m_ui.udpConnect = new QPushButton(tr8(texts::kButtonConnect), udp);
    m_ui.udpClose = new QPushButton(tr8(texts::kButtonDisconnect), udp);
    m_ui.udpStatus = statusLabel(udp, "udpStatus");
    ug->addWidget(m_ui.udp, 0, 0, 1, 2);
    ug->addWidget(new QLabel(tr8(texts::kLabelModuleIp), udp), 1, 0);
    ug->addWidget(m_ui.udpIp, 1, 1);
    ug->addWidget(new QLabel(tr8(texts::kLabelModulePort), udp), 2, 0);
    ug->addWidget(m_ui.udpPort, 2, 1);
    ug->addWidget(new QLabel(tr8(texts::kLabelPcPort), udp), 3, 0);
    ug->addWidget(m_ui.udpLocalPort, 3, 1);
    ug->addWidget(m_ui.udpConnect, 4, 0);
    ug->addWidget(m_ui.udpClose, 4, 1);
    ug->addWidget(new QLabel(tr8(texts::kLabelStatus), udp), 5, 0);
    ug->addWidget(m_ui.udpStatus, 5, 1);
    groups->addWidget(udp, 1, 0);

    // serial
    auto *serial = new QGroupBox(this);
    auto *pg = new QGridLayout(serial);
    m_ui.serial = new QRadioButton(tr8(texts::kRadioSerial), serial);
    m_ui.serialPort = new QComboBox(serial);
    m_ui.serialPort->setEditable(true);
    m_ui.serialPort->setInsertPolicy(QComboBox::NoInsert);
    for (const auto &path : listSerialDevices())
        m_ui.serialPort->addItem(QString::fromStdString(path));
    m_ui.baudRate = new QComboBox(serial);
    for (uint32_t baud : kBaudRates)
        m_ui.baudRate->addItem(QString::number(baud));
    m_ui.baudRate->setCurrentIndex(kDefaultBaudIndex);
    m_ui.dataBits = new QComboBox(serial);
    m_ui.dataBits->addItems({QStringLiteral("7"), QStringLiteral("8")});
    m_ui.dataBits->setCurrentIndex(1);
    m_ui.parity = new QComboBox(serial);
    m_ui.parity->addItems({tr8(texts::kParityNone), tr8(texts::kParityOdd), tr8(texts::kParityEven),
                           tr8(texts::kParityMark)});
    m_ui.stopBits = new QComboBox(serial);
    m_ui.stopBits->addItems({QStringLiteral("1"), QStringLiteral("2")});
    m_ui.serialOpen = new QPushButton(tr8(texts::kButtonOpen), serial);
    m_ui.serialClose = new QPushButton(tr8(texts::kButtonClose), serial);
    m_ui.serialStatus = statusLabel(serial, "serialStatus");
    pg->addWidget(m_ui.serial, 0, 0, 1, 4);
    pg->addWidget(new QLabel(tr8(texts::kLabelSerialPort), serial), 1, 0);
    pg->addWidget(m_ui.serialPort, 1, 1);
    pg->addWidget(new QLabel(tr8(texts::kLabelBaudRate), serial), 1, 2);
    pg->addWidget(m_ui.baudRate, 1, 3);
    pg->addWidget(new QLabel(tr8(texts::kLabelDataBits), serial), 2, 0);
    pg->addWidget(m_ui.dataBits, 2, 1);
    pg->addWidget(new QLabel(tr8(texts::kLabelParity), serial), 2, 2);
    pg->addWidget(m_ui.parity, 2, 3);
    pg->addWidget(new QLabel(tr8(texts::kLabelStopBits), serial), 3, 0);
    pg->addWidget(m_ui.stopBits, 3, 1);
    pg->addWidget(m_ui.serialOpen, 4, 0, 1, 2);
    pg->addWidget(m_ui.serialClose, 4, 2, 1, 2);
    pg->addWidget(new QLabel(tr8(texts::kLabelStatus), serial), 5, 0);
    pg->addWidget(m_ui.serialStatus, 5, 1, 1, 3);
    groups->addWidget(serial, 1, 1);

    // module information
    auto *info = new QGroupBox(this);
    auto *ig = new QGridLayout(info);
    const char *labels[kIdentityFieldCount] = {
        texts::kLabelFirmwareVersion, texts::kLabelDriverVersion, texts::kLabelModel,
        texts::kLabelSeries,          texts::kLabelSerialNumber,  texts::kLabelFactoryDate,
        texts::kLabelDescription,
    };
    for (int i = 0; i < kIdentityFieldCount; ++i) {
        m_ui.identity[i] = new QLabel(tr8(texts::kNotAvailable), info);
        m_ui.identity[i]->setObjectName(QStringLiteral("identity%1").arg(i));
        m_ui.identity[i]->setWordWrap(true);
        m_ui.identity[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        ig->addWidget(new QLabel(tr8(labels[i]), info), i, 0, Qt::AlignTop);
        ig->addWidget(m_ui.identity[i], i, 1);
    }
    ig->setColumnStretch(1, 1);
    ig->setRowStretch(kIdentityFieldCount, 1);
    info->setMinimumWidth(320);
    root->addWidget(info, 2);

    m_radios = new QButtonGroup(this);
    m_radios->addButton(m_ui.tcpServer, kTcpServer);
    m_radios->addButton(m_ui.tcpClient, kTcpClient);
    m_radios->addButton(m_ui.udp, kUdp);
    m_radios->addButton(m_ui.serial, kSerial);
    connect(m_radios, &QButtonGroup::idClicked, this, &ConnectionPage::chooseKind);
    connect(m_ui.listen, &QPushButton::clicked, this, &ConnectionPage::listen);
    connect(m_ui.serverClose, &QPushButton::clicked, this, &ConnectionPage::closeServer);
    connect(m_ui.clientConnect, &QPushButton::clicked, this, &ConnectionPage::connectClient);
    connect(m_ui.clientClose, &QPushButton::clicked, this, &ConnectionPage::closeClient);
    connect(m_ui.udpConnect, &QPushButton::clicked, this, &ConnectionPage::connectUdp);
    connect(m_ui.udpClose, &QPushButton::clicked, this, &ConnectionPage::closeUdp);
    connect(m_ui.serialOpen, &QPushButton::clicked, this, &ConnectionPage::openSerial);
    connect(m_ui.serialClose, &QPushButton::clicked, this, &ConnectionPage::closeSerial);
    connect(m_ui.adapter, &QComboBox::activated, this, &ConnectionPage::adapterChosen);
    connect(m_ui.localIp, &QComboBox::activated, this, &ConnectionPage::addressChosen);
}

void ConnectionPage::fillAdapters(const std::vector<Adapter> *adapters)
{
    m_adapters = adapters ? *adapters : systemAdapters();
    if (m_adapters.empty()) {
        message(texts::kAdapterListFailed);
        m_adapters.push_back({QStringLiteral("lo"), {QStringLiteral("127.0.0.1")}});
    }
    for (const Adapter &a : m_adapters)
        m_ui.adapter->addItem(a.description);
    m_ui.adapter->setCurrentIndex(0);
    adapterChosen(0);
}

void ConnectionPage::adapterChosen(int index)
{
    m_ui.localIp->clear();
    if (index < 0 || index >= static_cast<int>(m_adapters.size()))
        return;
    m_ui.localIp->addItems(m_adapters[static_cast<std::size_t>(index)].addresses);
    m_ui.localIp->setCurrentIndex(0);
}

void ConnectionPage::addressChosen(int)
{
    if (!isUsableLocalAddress(m_ui.localIp->currentText().toStdString(), knownAddresses()))
        message(texts::kInvalidAdapter);
}

std::vector<std::string> ConnectionPage::knownAddresses() const
{
    std::vector<std::string> known;
    for (const Adapter &a : m_adapters) {
        for (const QString &s : a.addresses)
            known.push_back(s.toStdString());
    }
    return known;
}

bool ConnectionPage::selectLocalAddress(const QString &address)
{
    for (std::size_t i = 0; i < m_adapters.size(); ++i) {
        int at = m_adapters[i].addresses.indexOf(address);
        if (at >= 0) {
            m_ui.adapter->setCurrentIndex(static_cast<int>(i));
            adapterChosen(static_cast<int>(i));
            m_ui.localIp->setCurrentIndex(at);
            return true;
        }
    }
    return false;
}

QString ConnectionPage::modbusAddressText() const
{
    return m_ui.modbusAddress->text();
}

void ConnectionPage::message(const char *text)
{
    m_app.dialogs().message(this, tr8(text));
}

bool ConnectionPage::checkLocalAddress(const char *refusal, QString &local)
{
    local = m_ui.localIp->currentText();
    if (!isUsableLocalAddress(local.toStdString(), knownAddresses())) {
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

void ConnectionPage::setRadiosEnabled(bool on)
{
    for (QAbstractButton *b : m_radios->buttons())
        b->setEnabled(on);
}

void ConnectionPage::chooseKind(int kind)
{
    if (kind != m_kind)
        groupReset(kind == kTcpServer, kind == kTcpClient, kind == kUdp, kind == kSerial);
    m_kind = kind;
    if (QAbstractButton *b = m_radios->button(kind))
        b->setChecked(true);
}

void ConnectionPage::groupReset(bool server, bool client, bool udp, bool serial)
{
    enableAll({m_ui.listenPort, m_ui.listen, m_ui.serverClose, m_ui.peer}, server);
    enableAll({m_ui.clientIp, m_ui.clientPort, m_ui.clientConnect, m_ui.clientClose}, client);
    enableAll({m_ui.udpIp, m_ui.udpPort, m_ui.udpLocalPort, m_ui.udpConnect, m_ui.udpClose}, udp);
    enableAll({m_ui.serialPort, m_ui.baudRate, m_ui.dataBits, m_ui.stopBits, m_ui.parity,
               m_ui.serialOpen, m_ui.serialClose},
              serial);
    for (int kind : {kTcpServer, kTcpClient, kUdp, kSerial})
        setStatus(kind, tr8(texts::kNotConnected));
    setPeerText(tr8(texts::kNoPeer));
    resetIdentity();
}

void ConnectionPage::listen()
{
    if (!m_app.requestAddress())
        return;
    QString local;
    uint16_t port = 0;
    if (!checkLocalAddress(texts::kListenNeedsAdapter, local) || !readPort(m_ui.listenPort, port))
        return;
    SettingsResult s = buildTcpServerSettings(local.toStdString(), port);
    if (!s.ok) {
        message(s.message.c_str());
        return;
    }
    if (m_app.openPort(s.settings) != 0) {
        message(texts::kListenFailed);
        return;
    }
    m_ui.listen->setEnabled(false);
    m_ui.listenPort->setEnabled(false);
    setRadiosEnabled(false);
    m_ui.serverClose->setEnabled(true);
    m_kind = kTcpServer;
    setStatus(kTcpServer, tr8(texts::kWaitingForModule));
}

void ConnectionPage::connectClient()
{
    if (!m_app.requestAddress())
        return;
    QString local;
    uint16_t port = 0;
    if (!checkLocalAddress(texts::kConnectNeedsAdapter, local) || !readPort(m_ui.clientPort, port))
        return;
    SettingsResult s = buildTcpClientSettings(local.toStdString(), m_ui.clientIp->text().toStdString(), port);
    if (!s.ok) {
        message(s.message.c_str());
        return;
    }
    if (m_app.openPort(s.settings) != 0)
        message(texts::kConnectFailed);
    m_ui.clientConnect->setEnabled(false);
    m_ui.clientIp->setEnabled(false);
    m_ui.clientPort->setEnabled(false);
    setRadiosEnabled(false);
    m_ui.clientClose->setEnabled(true);
    m_kind = kTcpClient;
    setStatus(kTcpClient, tr8(texts::kConnecting));
}

void ConnectionPage::connectUdp()
{
    if (!m_app.requestAddress())
        return;
    QString local;
    uint16_t port = 0;
    uint16_t localPort = 0;
    if (!checkLocalAddress(texts::kConnectNeedsAdapter, local) || !readPort(m_ui.udpPort, port)
        || !readPort(m_ui.udpLocalPort, localPort))
        return;
    SettingsResult s = buildUdpSettings(local.toStdString(), m_ui.udpIp->text().toStdString(), port,
                                        localPort);
    if (!s.ok) {
        message(s.message.c_str());
        return;
    }
    if (m_app.openPort(s.settings) != 0)
        message(texts::kConnectFailed);
    enableAll({m_ui.udpConnect, m_ui.udpIp, m_ui.udpPort, m_ui.udpLocalPort}, false);
    setRadiosEnabled(false);
    m_ui.udpClose->setEnabled(true);
    m_kind = kUdp;
    setStatus(kUdp, tr8(texts::kUdpConnecting));
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
    SettingsResult s = buildSerialSettings(c);
    if (!s.ok) {
        message(s.message.c_str());
        return;
    }
    bool failed = m_app.openPort(s.settings) != 0;
    if (failed)
        message(texts::kConnectFailed);
    enableAll({m_ui.serialPort, m_ui.baudRate, m_ui.dataBits, m_ui.stopBits, m_ui.parity,
               m_ui.serialOpen},
              false);
    setRadiosEnabled(false);
    m_ui.serialClose->setEnabled(true);
    m_kind = kSerial;
    setStatus(kSerial, tr8(failed ? texts::kSerialFailed : texts::kSerialOpenedReading));
}

void ConnectionPage::closeKind(int kind)
{
    m_app.destroyPort();
    m_kind = kNone;
    setRadiosEnabled(true);
    groupReset(kind == kTcpServer, kind == kTcpClient, kind == kUdp, kind == kSerial);
}

void ConnectionPage::closeServer()
{
    closeKind(kTcpServer);
}

void ConnectionPage::closeClient()
{
    setStatus(kTcpClient, tr8(texts::kDisconnecting));
    closeKind(kTcpClient);
}

void ConnectionPage::closeUdp()
{
    closeKind(kUdp);
}

void ConnectionPage::closeSerial()
{
    closeKind(kSerial);
}

static QLabel *statusOf(const ConnectionPage::Controls &ui, int kind)
{
    switch (kind) {
    case ConnectionPage::kTcpServer:
        return ui.serverStatus;
    case ConnectionPage::kTcpClient:
        return ui.clientStatus;
    case ConnectionPage::kUdp:
        return ui.udpStatus;
    case ConnectionPage::kSerial:
        return ui.serialStatus;
    default:
        return nullptr;
    }
}

void ConnectionPage::setStatus(int kind, const QString &text)
{
    if (QLabel *l = statusOf(m_ui, kind))
        l->setText(text);
}

QString ConnectionPage::status(int kind) const
{
    QLabel *l = statusOf(m_ui, kind);
    return l ? l->text() : QString();
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
        m_ui.identity[i]->setText(QString::fromStdString(*values[i]));
}

void ConnectionPage::resetIdentity()
{
    for (QLabel *l : m_ui.identity)
        l->setText(tr8(texts::kNotAvailable));
}

QString ConnectionPage::identity(IdentityField field) const
{
    return m_ui.identity[field]->text();
}

void ConnectionPage::enableTcpClientControls()
{
    enableAll({m_ui.clientIp, m_ui.clientPort, m_ui.clientConnect, m_ui.clientClose}, true);
}

void ConnectionPage::applyConnectTarget(const ConnectTarget &t)
{
    const QString host = QString::fromStdString(t.host);
    // A module on this machine is reached through the loopback adapter; a
    // remote one through the first adapter that is not loopback.
    auto pickLocal = [&] {
        if (isLoopbackIpv4(t.host)) {
            selectLocalAddress(QStringLiteral("127.0.0.1"));
            return;
        }
        for (const Adapter &a : m_adapters) {
            for (const QString &ip : a.addresses) {
                if (!isLoopbackIpv4(ip.toStdString()) && ip != QLatin1String("0.0.0.0")) {
                    selectLocalAddress(ip);
                    return;
                }
            }
        }
    };
    switch (t.kind) {
    case ConnectKind::TcpClient:
        chooseKind(kTcpClient);
        pickLocal();
        m_ui.clientIp->setText(host);
        m_ui.clientPort->setText(QString::number(t.port));
        connectClient();
        break;
    case ConnectKind::Udp:
        chooseKind(kUdp);
        pickLocal();
        m_ui.udpIp->setText(host);
        m_ui.udpPort->setText(QString::number(t.port));
        if (t.localPort)
            m_ui.udpLocalPort->setText(QString::number(*t.localPort));
        connectUdp();
        break;
    case ConnectKind::TcpServer:
        chooseKind(kTcpServer);
        if (!t.host.empty() && !selectLocalAddress(host))
            qWarning("qxtools: %s belongs to no adapter; listening on %s instead", qPrintable(host),
                     qPrintable(m_ui.localIp->currentText()));
        m_ui.listenPort->setText(QString::number(t.port));
        listen();
        break;
    case ConnectKind::Serial:
        chooseKind(kSerial);
        m_ui.serialPort->setEditText(QString::fromStdString(t.path));
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
    }
}

} // namespace qx
