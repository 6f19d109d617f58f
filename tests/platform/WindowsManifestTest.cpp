#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

namespace xcr {
namespace {

QString projectFile(const char* path) {
    QFile file(QStringLiteral(XCR_SOURCE_DIR "/") + QLatin1String(path));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

TEST(WindowsManifestTest, AsksForVersion6OfTheCommonControls) {
    QXmlStreamReader xml(projectFile("app/pelloran.manifest"));
    bool inDependentAssembly = false;
    int commonControls = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("dependentAssembly")) {
            inDependentAssembly = true;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("dependentAssembly")) {
            inDependentAssembly = false;
        } else if (xml.isStartElement() && inDependentAssembly &&
                   xml.name() == QLatin1String("assemblyIdentity")) {
            const QXmlStreamAttributes id = xml.attributes();
            EXPECT_EQ(id.value("name"), QLatin1String("Microsoft.Windows.Common-Controls"));
            EXPECT_EQ(id.value("version"), QLatin1String("6.0.0.0"));
            EXPECT_EQ(id.value("type"), QLatin1String("win32"));
            EXPECT_EQ(id.value("publicKeyToken"), QLatin1String("6595b64144ccf1df"));
            ++commonControls;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(commonControls, 1);
}

TEST(WindowsManifestTest, WindowsBuildsEmbedTheManifestInTheProgram) {
    const QString cmake = projectFile("app/CMakeLists.txt");
    const QRegularExpression winBlock(QStringLiteral(R"(if\(WIN32\)(.*?)\n  endif\(\))"),
                                      QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch block = winBlock.match(cmake);
    ASSERT_TRUE(block.hasMatch());
    const QString body = block.captured(1);
    EXPECT_TRUE(body.contains(QLatin1String("target_sources(pelloran PRIVATE")));
    EXPECT_TRUE(body.contains(QLatin1String("pelloran.manifest")));
    EXPECT_TRUE(body.contains(QLatin1String("pelloran.rc")));

    // Resource type 24 with id 1 is the manifest the loader reads for a program.
    const QString rc = projectFile("app/pelloran.rc");
    EXPECT_TRUE(
        rc.contains(QRegularExpression(QStringLiteral(R"(^1\s+24\s+"pelloran\.manifest"\s*$)"),
                                       QRegularExpression::MultilineOption)));
}

}  // namespace
}  // namespace xcr
