#include "kept_settings.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>

#include "connection_page.h"
#include "dialogs.h"
#include "file_filter.h"
#include "kept_values.h"
#include "main_window.h"

namespace qx {

namespace {

const QString kTransport = QStringLiteral("connection/transport");
const QString kLocalIp = QStringLiteral("connection/localIp");
const QString kModbusAddress = QStringLiteral("connection/modbusAddress");
const QString kSerialPort = QStringLiteral("serial/port");
const QString kGeometry = QStringLiteral("window/geometry");

struct KeptEdit
{
    const char *key;
    QLineEdit *ConnectionPage::Controls::*edit;
    KeptField field;
};

const KeptEdit kEdits[] = {
    {"tcpServer/listenPort", &ConnectionPage::Controls::listenPort, KeptField::Port},
    {"tcpClient/ip", &ConnectionPage::Controls::clientIp, KeptField::Ipv4},
    {"tcpClient/port", &ConnectionPage::Controls::clientPort, KeptField::Port},
    {"udp/ip", &ConnectionPage::Controls::udpIp, KeptField::Ipv4},
    {"udp/port", &ConnectionPage::Controls::udpPort, KeptField::Port},
    {"udp/localPort", &ConnectionPage::Controls::udpLocalPort, KeptField::Port},
};

// Lists whose kept entry is taken only while the list still offers it. The
// parity is kept by its place in the list: its names change with the
// language.
struct KeptChoice
{
    const char *key;
    QComboBox *ConnectionPage::Controls::*combo;
    bool byIndex = false;
};

const KeptChoice kChoices[] = {
    {"serial/baudRate", &ConnectionPage::Controls::baudRate},
    {"serial/dataBits", &ConnectionPage::Controls::dataBits},
    {"serial/parity", &ConnectionPage::Controls::parity, true},
    {"serial/stopBits", &ConnectionPage::Controls::stopBits},
};

QString keptText(const QSettings &settings, const QString &key)
{
    return settings.value(key).toString();
}

// One folder per kind of file, named by the filter's patterns ("*.ini",
// "*.*"): the descriptions beside them change with the language.
QString folderKey(const FileRequest &request)
{
    std::string patterns;
    for (const std::string &pattern : filterPatterns(request.filter.toStdString()))
        patterns += (patterns.empty() ? "" : "|") + pattern;
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(patterns), QCryptographicHash::Sha1);
    return QStringLiteral("folders/") + QString::fromLatin1(hash.toHex().left(16));
}

} // namespace

void restoreKeptSettings(MainWindow &window, const QSettings &settings)
{
    ConnectionPage &page = *window.connectionPage();
    const ConnectionPage::Controls &ui = page.controls();
    const ConnectionKind kind = keptTransport(keptText(settings, kTransport).toStdString());
    if (kind != ConnectionKind::None)
        page.chooseKind(kind);
    const QString local = keptText(settings, kLocalIp);
    if (!local.isEmpty())
        page.selectLocalAddress(local);
    for (const KeptEdit &e : kEdits) {
        const QString text = keptText(settings, QLatin1String(e.key));
        if (keptValueFits(e.field, text.toStdString()))
            (ui.*e.edit)->setText(text);
    }
    const QString address = keptText(settings, kModbusAddress);
    if (keptValueFits(KeptField::ModbusAddress, address.toStdString()))
        ui.modbusAddress->setText(address);
    for (const KeptChoice &c : kChoices) {
        QComboBox *combo = ui.*c.combo;
        const QString kept = keptText(settings, QLatin1String(c.key));
        bool number = false;
        const int at = c.byIndex ? kept.toInt(&number) : combo->findText(kept);
        if (at >= 0 && at < combo->count() && (number || !c.byIndex))
            combo->setCurrentIndex(at);
    }
    // a device that is no longer plugged in is not offered again
    const int device = ui.serialPort->findText(keptText(settings, kSerialPort));
    if (device >= 0)
        ui.serialPort->setCurrentIndex(device);
    window.keepGeometry(settings.value(kGeometry).toByteArray());
}

void saveKeptSettings(const MainWindow &window, QSettings &settings)
{
    const ConnectionPage &page = *window.connectionPage();
    const ConnectionPage::Controls &ui = page.controls();
    if (page.connectionKind() != ConnectionKind::None)
        settings.setValue(kTransport, QString::number(transportTypeOf(page.connectionKind())));
    settings.setValue(kLocalIp, ui.localIp->currentText());
    for (const KeptEdit &e : kEdits)
        settings.setValue(QLatin1String(e.key), (ui.*e.edit)->text());
    settings.setValue(kModbusAddress, ui.modbusAddress->text());
    for (const KeptChoice &c : kChoices)
        settings.setValue(QLatin1String(c.key), c.byIndex ? QString::number((ui.*c.combo)->currentIndex())
                                                            : (ui.*c.combo)->currentText());
    settings.setValue(kSerialPort, ui.serialPort->currentText());
    settings.setValue(kGeometry, window.saveGeometry());
}

QString FolderMemory::startFolder(const FileRequest &request) const
{
    if (m_settings) {
        const QString kept = m_settings->value(folderKey(request)).toString();
        if (!kept.isEmpty() && QFileInfo(kept).isDir())
            return kept;
    }
    return request.startFolder;
}

void FolderMemory::chosen(const FileRequest &request, const QString &path)
{
    if (m_settings && !path.isEmpty())
        m_settings->setValue(folderKey(request), QFileInfo(path).absolutePath());
}

} // namespace qx
