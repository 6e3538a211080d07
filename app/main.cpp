// QXTools: binds QXLIB, builds the main window and, when asked on the command
// line, opens a transport at start and takes a picture of the window.
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>
#include <QTimer>

#include "app_main.h"
#include "command_line.h"
#include "config_page.h"
#include "connection_page.h"
#include "dialogs.h"
#include "io_page_parts.h"
#include "kept_settings.h"
#include "language.h"
#include "library_binder.h"
#include "main_window.h"
#include "page_host.h"
#include "plc_page.h"
#include "qx_version.h"
#include "scaling_store.h"
#include "ui_text.h"

namespace {

// --help and --version: the text on standard output; true when one was asked.
bool printRequestedText(const qx::CommandLine &options)
{
    if (options.version)
        std::fputs(qx::versionText("qxtools").c_str(), stdout);
    else if (options.help)
        std::fputs(qx::commandLineHelp().c_str(), stdout);
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before the application object exists, which needs a display.
    // With Qt's own options (-platform ...) this parse fails; the command line
    // is parsed again once Qt has taken them out.
    const std::vector<std::string> plainArgs(argv + 1, argv + argc);
    const qx::CommandLine plain = qx::parseCommandLine(plainArgs);
    if (plain.ok && printRequestedText(plain))
        return 0;

    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("应用程序向导生成的本地应用程序"));
    QCoreApplication::setApplicationName(QStringLiteral("QXTools"));
    application.setWindowIcon(qx::MainWindow::icon());
    QGuiApplication::setDesktopFileName(QStringLiteral("qxtools"));

    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(arguments[i].toStdString());
    qx::CommandLine options = qx::parseCommandLine(args);
    if (!options.ok) {
        std::fprintf(stderr, "qxtools: %s\n\n%s", options.error.c_str(), qx::commandLineHelp().c_str());
        return 2;
    }
    if (printRequestedText(options))
        return 0;
    const std::string language = qx::chosenLanguage(options.language, QLocale::system().name().toStdString());
    if (!qx::installLanguage(language))
        std::fprintf(stderr, "qxtools: the %s texts cannot be loaded; the window stays in Chinese\n", language.c_str());

    qx::QtDialogs dialogs;
    qx::BindResult bound = qx::bindFirstLibrary(
        qx::libraryCandidates(options.library, QCoreApplication::applicationDirPath().toStdString()));
    if (!bound.ok) {
        std::fprintf(stderr, "qxtools: %s\n", bound.message.c_str());
        dialogs.message(nullptr, qx::uiText(bound.message));
        return 1;
    }

    // loaded on the AI/AO page, read by the PLC compiler; it outlives the pages
    qx::ScalingStore scaling;
    qx::AppMain app(bound.functions, dialogs);
    qx::placeIoPages(app, scaling);
    app.pageHost().setPage(qx::PageHost::kConfigPage, new qx::RO2000ScanPoll(app));
    app.pageHost().setPage(qx::PageHost::kPlcPage, new qx::COperEPLC(app, scaling));
    qx::MainWindow &window = app.mainWindow();
    // A picture shows the window as a first run fills it, and changes nothing.
    std::unique_ptr<QSettings> settings;
    if (options.screenshot.empty()) {
        settings = std::make_unique<QSettings>();
        dialogs.folders().keepIn(settings.get());
        qx::restoreKeptSettings(window, *settings);
    }
    window.show();
    if (options.address)
        window.connectionPage()->controls().modbusAddress->setText(qx::uiText(*options.address));
    if (options.connect) {
        qx::ConnectTarget target = *options.connect;
        QTimer::singleShot(0, &window, [&window, target] { window.connectionPage()->applyConnectTarget(target); });
    }

    if (!options.screenshot.empty()) {
        const QString file = qx::uiText(options.screenshot);
        auto taken = std::make_shared<bool>(false);
        auto shoot = [&window, file, taken](int exitCode) {
            if (*taken)
                return;
            *taken = true;
            if (!window.grab().save(file))
                std::fprintf(stderr, "qxtools: cannot write %s\n", qPrintable(file));
            else
                std::printf("qxtools: window saved to %s\n", qPrintable(file));
            std::fflush(stdout);
            QCoreApplication::exit(exitCode);
        };
        // Taken once the identity is on the page; the time limit takes it
        // anyway and says so through the exit code.
        // A short pause lets the answer's log line and counters arrive too.
        QObject::connect(&app, &qx::AppMain::identityShown, &window,
                         [shoot] { QTimer::singleShot(500, [shoot] { shoot(0); }); });
        int limit = options.quitAfterMs > 0 ? options.quitAfterMs : 20000;
        QTimer::singleShot(limit, &window, [shoot] { shoot(3); });
    } else if (options.quitAfterMs > 0) {
        QTimer::singleShot(options.quitAfterMs, &window, [] { QCoreApplication::exit(0); });
    }
    const int exitCode = application.exec();
    if (settings)
        qx::saveKeptSettings(window, *settings);
    return exitCode;
}
