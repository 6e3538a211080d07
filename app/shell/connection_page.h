// The "通讯设置" page: the four transports with their settings, opening and
// closing the port object, the connection status per transport, the Modbus
// address every request uses, and the module's identity once it is read.
// Its rules (control states, open outcomes, event texts, adapter order) are
// in connection_rules.h and network_adapters.h; the page applies them.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include <QString>
#include <QWidget>

#include "connection_rules.h"
#include "event_records.h"
#include "network_adapters.h"
#include "port_settings_builder.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qx {

class AppMain;
struct ConnectTarget;

class ConnectionPage : public QWidget
{
    Q_OBJECT

public:
    enum IdentityField {
        kFirmwareVersion,
        kDriverVersion,
        kModelName,
        kSeries,
        kSerialNumber,
        kFactoryDate,
        kDescription,
        kIdentityFieldCount,
    };

    // The controls, for the shell and for tests that press them.
    struct Controls
    {
        QRadioButton *tcpServer = nullptr;
        QRadioButton *tcpClient = nullptr;
        QRadioButton *udp = nullptr;
        QRadioButton *serial = nullptr;
        QComboBox *adapter = nullptr;
        QComboBox *localIp = nullptr;
        QLineEdit *modbusAddress = nullptr;
        QLineEdit *listenPort = nullptr;
        QPushButton *listen = nullptr;
        QPushButton *serverClose = nullptr;
        QLabel *serverStatus = nullptr;
        QLabel *peer = nullptr;
        QLineEdit *clientIp = nullptr;
        QLineEdit *clientPort = nullptr;
        QPushButton *clientConnect = nullptr;
        QPushButton *clientClose = nullptr;
        QLabel *clientStatus = nullptr;
        QLineEdit *udpIp = nullptr;
        QLineEdit *udpPort = nullptr;
        QLineEdit *udpLocalPort = nullptr;
        QPushButton *udpConnect = nullptr;
        QPushButton *udpClose = nullptr;
        QLabel *udpStatus = nullptr;
        QComboBox *serialPort = nullptr; // rescanned each time it opens
        QComboBox *baudRate = nullptr;
        QComboBox *dataBits = nullptr;
        QComboBox *parity = nullptr;
        QComboBox *stopBits = nullptr;
        QPushButton *serialOpen = nullptr;
        QPushButton *serialClose = nullptr;
        QLabel *serialStatus = nullptr;
        QLabel *identity[kIdentityFieldCount] = {};
    };

    // `adapters` replaces the system's adapter list (tests); by default it
    // is read from QNetworkInterface.
    explicit ConnectionPage(AppMain &app, QWidget *parent = nullptr,
                            const std::vector<NetworkAdapter> *adapters = nullptr);

    const Controls &controls() const { return m_ui; }
    ConnectionKind connectionKind() const { return m_state.kind(); }
    LinkPhase phase() const { return m_state.phase(); }

    // The text of "模块MODBUS地址(1~240)", read when a request is built.
    QString modbusAddressText() const;

    // What the event handlers write.
    void setStatus(ConnectionKind kind, const QString &text);
    QString status(ConnectionKind kind) const;
    void setPeerText(const QString &text);
    void setIdentity(const IdentityView &identity);
    void resetIdentity();
    QString identity(IdentityField field) const;
    // A connection event's changes to the texts and controls.
    void applyConnectionEffect(const ConnectionEffect &effect, const QString &peer);

    // Operations behind the radios and buttons.
    void chooseKind(ConnectionKind kind);
    void listen();
    void connectClient();
    void connectUdp();
    void openSerial();
    void closeKind(ConnectionKind kind);

    // Selects the adapter and address; false when no adapter has it.
    bool selectLocalAddress(const QString &address);
    // Fills the page from the command line and opens the transport.
    void applyConnectTarget(const ConnectTarget &target);

    const std::vector<NetworkAdapter> &adapters() const { return m_adapters; }
    // Reads the serial devices again, keeping the text in the field.
    void rescanSerialPorts();

private:
    struct Group
    {
        QRadioButton *radio = nullptr;
        std::vector<QWidget *> settings;
        QPushButton *open = nullptr;
        QPushButton *close = nullptr;
        QLabel *status = nullptr;
    };

    QGroupBox *buildCommonGroup();
    Group &startGroup(ConnectionKind kind, QGroupBox *box, const char *radio, const char *open, const char *close,
                      const char *statusName);
    void layOutGroup(QGroupBox *box, const Group &g,
                     std::initializer_list<std::pair<QWidget *, const char *>> settings, QLabel *peer = nullptr);
    QGroupBox *buildServerGroup();
    QGroupBox *buildClientGroup();
    QGroupBox *buildUdpGroup();
    QGroupBox *buildSerialGroup();
    QGroupBox *buildIdentityGroup();
    // The Controls struct names each group's radio, buttons and status.
    void nameGroupControls();
    void connectControls();

    void fillAdapters(const std::vector<NetworkAdapter> *adapters);
    void selectAdapterAddress(const AdapterAddress &at);
    void adapterChosen(int index);
    void addressChosen(int index);
    bool checkLocalAddress(const char *refusal, QString &local);
    bool readPort(QLineEdit *edit, uint16_t &port);
    void finishOpen(ConnectionKind kind, const SettingsResult &settings);
    void message(const char *text);
    Group &group(ConnectionKind kind);
    const Group *groupOf(ConnectionKind kind) const;
    // The live group's controls as the state says, every status "未连接...",
    // the peer and the information fields back to their empty texts.
    void groupReset();
    void applyControlStates();

    AppMain &m_app;
    Controls m_ui;
    Group m_groups[4];
    QButtonGroup *m_radios = nullptr;
    std::vector<NetworkAdapter> m_adapters;
    LinkState m_state;
};

} // namespace qx
