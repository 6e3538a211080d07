// The "通讯设置" page: the four transports with their settings, opening and
// closing the port object, the connection status per transport, the Modbus
// address every request uses, and the module's identity once it is read.
#pragma once

#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "event_records.h"

class QButtonGroup;
class QComboBox;
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
    // ConnectionKind
    enum Kind {
        kNone = 0,
        kTcpServer = 1,
        kTcpClient = 2,
        kUdp = 3,
        kSerial = 4,
    };

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

    struct Adapter
    {
        QString description;
        QStringList addresses;
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
        QComboBox *serialPort = nullptr;
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
                            const std::vector<Adapter> *adapters = nullptr);

    const Controls &controls() const { return m_ui; }
    int connectionKind() const { return m_kind; }

    // The text of "模块MODBUS地址(1~240)", read when a request is built.
    QString modbusAddressText() const;

    // What the event handlers write.
    void setStatus(int kind, const QString &text);
    QString status(int kind) const;
    void setPeerText(const QString &text);
    void setIdentity(const IdentityView &identity);
    void resetIdentity();
    QString identity(IdentityField field) const;
    // The TCP client's controls after the module closed the connection.
    void enableTcpClientControls();

    // Operations behind the radios and buttons.
    void chooseKind(int kind);
    void groupReset(bool server, bool client, bool udp, bool serial);
    void listen();
    void closeServer();
    void connectClient();
    void closeClient();
    void connectUdp();
    void closeUdp();
    void openSerial();
    void closeSerial();

    // Selects the adapter and address; false when no adapter has it.
    bool selectLocalAddress(const QString &address);
    // Fills the page from the command line and opens the transport.
    void applyConnectTarget(const ConnectTarget &target);

    const std::vector<Adapter> &adapters() const { return m_adapters; }

private:
    void buildControls();
    void fillAdapters(const std::vector<Adapter> *adapters);
    void adapterChosen(int index);
    void addressChosen(int index);
    std::vector<std::string> knownAddresses() const;
    bool checkLocalAddress(const char *refusal, QString &local);
    bool readPort(QLineEdit *edit, uint16_t &port);
    void message(const char *text);
    void setRadiosEnabled(bool on);
    void closeKind(int kind);

    AppMain &m_app;
    Controls m_ui;
    QButtonGroup *m_radios = nullptr;
    std::vector<Adapter> m_adapters;
    int m_kind = kNone;
};

} // namespace qx
