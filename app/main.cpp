#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include "app/DesktopServices.h"
#include "app/TForm1.h"
#include "app/WindowTitle.h"
#include "platform/DropShadow.h"

int main(int argc, char** argv) {
    // The task bar names the program; the display name stays unset, since the desktop
    // would append it to every window caption.
    QCoreApplication::setApplicationName(QString::fromUtf8(xcr::kApplicationTitle));
    QCoreApplication::setApplicationVersion(QStringLiteral(XCR_VERSION));

    // The desktop hands over the archive to open, as a file the user confirmed.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Opens an XCR archive and lists its entries."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("ARCHIVE"),
                                 QStringLiteral("The archive to open at start."),
                                 QStringLiteral("[ARCHIVE]"));
    // --help and --version are answered before the window system is reached, so they need
    // no display. Anything else, Qt's own options among them, waits for the window's parse.
    {
        const QCoreApplication plain(argc, argv);
        if (parser.parse(QCoreApplication::arguments())) {
            if (parser.isSet(help)) {
                parser.showHelp();
            }
            if (parser.isSet(version)) {
                parser.showVersion();
            }
        }
    }

    QApplication app(argc, argv);
    // The window ends the program itself, once any running job has ended.
    QApplication::setQuitOnLastWindowClosed(false);
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() > 1) {
        qCritical("%s: one archive at most; see --help", qPrintable(QFileInfo(argv[0]).fileName()));
        return 1;
    }

    xcr::TForm1 form(xcr::desktopServices());
    xcr::DropShadow::attach(form);
    QObject::connect(&form, &xcr::TForm1::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    form.show();
    if (!arguments.isEmpty()) {
        // The open dialog confirms absolute paths; the title and the messages name the same.
        const std::string path =
            QFile::encodeName(QFileInfo(arguments.front()).absoluteFilePath()).toStdString();
        QMetaObject::invokeMethod(
            &form, [&form, path] { form.openConfirmed(path); }, Qt::QueuedConnection);
    }
    return QApplication::exec();
}
