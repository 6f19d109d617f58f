#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include "app/DesktopServices.h"
#include "app/TForm1.h"
#include "app/WindowTitle.h"
#include "platform/DropShadow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The task bar names the program; the display name stays unset, since the desktop
    // would append it to every window caption.
    QApplication::setApplicationName(QString::fromUtf8(xcr::kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(XCR_VERSION));
    // The window ends the program itself, once any running job has ended.
    QApplication::setQuitOnLastWindowClosed(false);

    // The desktop hands over the archive to open, as a file the user confirmed.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Opens an XCR archive and lists its entries."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("ARCHIVE"),
                                 QStringLiteral("The archive to open at start."),
                                 QStringLiteral("[ARCHIVE]"));
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
