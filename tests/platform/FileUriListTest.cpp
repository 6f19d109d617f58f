#include "platform/FileUriList.h"

#include <gtest/gtest.h>

namespace xcr {
namespace {

TEST(FileUriListTest, APathGoesIntoAUriAndBackByteForByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"/tmp/caf\xe9.txt", "file:///tmp/caf%E9.txt"},
        {"/a b/100%#?.txt", "file:///a%20b/100%25%23%3F.txt"},
        {"/Az09-._~/+:@\xff", "file:///Az09-._~/%2B%3A%40%FF"},
    };
    for (const auto& [path, uri] : cases) {
        EXPECT_EQ(fileUriOf(path), uri);
        EXPECT_EQ(localPathOf(uri), path) << uri;
    }
    EXPECT_EQ(fileUriListOf({"/a", "/b c"}), "file:///a\r\nfile:///b%20c\r\n");
}

// What another program may send: only a file URI of this machine names a path.
TEST(FileUriListTest, ADroppedListGivesTheBytesOfLocalFilesOnly) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"file:///tmp/caf%e9.txt", "/tmp/caf\xe9.txt"},
        {"FILE://LocalHost/x", "/x"},
        {"file:///raw\xe9 space", "/raw\xe9 space"},
        {"file://otherhost/x", std::nullopt},
        {"file://localhostx/x", std::nullopt},
        {"http://localhost/x", std::nullopt},
        {"file:/x", std::nullopt},
        {"file:///a?b", std::nullopt},
        {"file:///a#b", std::nullopt},
        {"file:///a%2", std::nullopt},
        {"file:///a%zz", std::nullopt},
        {"file:///a%00b", std::nullopt},
    };
    for (const auto& [uri, path] : cases) {
        EXPECT_EQ(localPathOf(uri), path) << uri;
    }
    EXPECT_EQ(urisIn("# comment\r\nfile:///a\r\n\r\nfile:///b\nfile:///c"),
              (std::vector<std::string>{"file:///a", "file:///b", "file:///c"}));
    EXPECT_TRUE(urisIn("\r\n\n").empty());
}

}  // namespace
}  // namespace xcr
