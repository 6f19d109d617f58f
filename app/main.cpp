#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "app/DesktopServices.h"
#include "app/TForm1.h"
#include "app/WindowTitle.h"
#include "platform/DisplayReach.h"
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
    // -V too, as xcrtool spells it.
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("V"), QStringLiteral("version")},
        QStringLiteral("Displays version information."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("ARCHIVE"),
                                 QStringLiteral("The archive to open at start."),
                                 QStringLiteral("[ARCHIVE]"));
    // --help and --version are answered before the window system is reached, so they need
    // no display. Anything else, Qt's own options among them, waits for the window's parse,
    // and first for a display: without one Qt would abort.
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

    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    if (const auto missing = xcr::unreachableDisplay(argc, argv)) {
        std::fprintf(stderr, "%s: cannot reach a display (%s); the window needs one\n",
                     qPrintable(program), missing->c_str());
        return 1;
    }

    QApplication app(argc, argv);
    // The window ends the program itself, once any running job has ended.
    QApplication::setQuitOnLastWindowClosed(false);
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() > 1) {
        qCritical("%s: one archive at most; see --help", qPrintable(program));
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
            &form, [&form, path] { form.openStarted(path); }, Qt::QueuedConnection);
    }
    return QApplication::exec();
}
