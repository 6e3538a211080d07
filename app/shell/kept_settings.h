// What QXTools keeps between runs in QSettings: the transport last chosen
// with its addresses, ports and serial settings, the Modbus address, the
// window's place and the folders the file dialogs last chose from. Saved
// when the program ends and read before the window shows; a first run finds
// nothing and the page keeps its own defaults, and a kept value that no
// longer fits (kept_values.h, a serial device that is gone, an adapter
// address no adapter has) is passed over in silence.
#pragma once

#include <QString>

class QSettings;

namespace qx {

class MainWindow;
struct FileRequest;

void restoreKeptSettings(MainWindow &window, const QSettings &settings);
void saveKeptSettings(const MainWindow &window, QSettings &settings);

// The folder each kind of file was last chosen from (the kind being the
// dialog's filter, so firmware images and PLC projects keep their own
// folders). Without settings the requests' own folders are used as they are.
class FolderMemory
{
public:
    void keepIn(QSettings *settings) { m_settings = settings; }
    // The kept folder while it still exists, else the request's own.
    QString startFolder(const FileRequest &request) const;
    void chosen(const FileRequest &request, const QString &path);

private:
    QSettings *m_settings = nullptr;
};

} // namespace qx
