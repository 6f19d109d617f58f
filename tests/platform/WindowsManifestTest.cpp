#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace xcr {
namespace {

QString projectFile(const char* path) {
    QFile file(QStringLiteral(XCR_SOURCE_DIR "/") + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

TEST(WindowsManifestTest, AsksForVersion6OfTheCommonControlsAndIsBuiltIn) {
    QXmlStreamReader xml(projectFile("app/pelloran.manifest"));
    QStringList dependencies;
    while (!xml.atEnd()) {
        xml.readNext();
        const QXmlStreamAttributes id = xml.attributes();
        if (xml.isStartElement() && xml.name() == QLatin1String("assemblyIdentity") &&
            id.value("publicKeyToken") == QLatin1String("6595b64144ccf1df")) {
            dependencies << id.value("name").toString() + ' ' + id.value("version").toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(dependencies, QStringList{"Microsoft.Windows.Common-Controls 6.0.0.0"});

    const QRegularExpression windowsOnly(QStringLiteral(R"(if\(WIN32\)(.*?)\n  endif\(\))"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QString windows = windowsOnly.match(projectFile("app/CMakeLists.txt")).captured(1);
    EXPECT_TRUE(windows.contains(QLatin1String("pelloran.manifest")));
    EXPECT_TRUE(windows.contains(QLatin1String("pelloran.rc")));
    // Resource type 24, id 1: the manifest the loader reads for a program.
    EXPECT_TRUE(
        projectFile("app/pelloran.rc").contains(QLatin1String("1 24 \"pelloran.manifest\"")));
}

}  // namespace
}  // namespace xcr
