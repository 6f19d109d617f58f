#include <gtest/gtest.h>

#include <map>

#include "app/RememberingFileDialog.h"
#include "app/RememberingFolderChooser.h"
#include "tests/app/FakeServices.h"

namespace xcr {
namespace {

class FakeSettingsStore : public SettingsStore {
public:
    std::string value(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::string() : found->second;
    }
    void setValue(const std::string& key, const std::string& value) override {
        values[key] = value;
    }
    std::map<std::string, std::string> values;
};

// Two runs of the program share one store: the second opens where the first confirmed
// last; a cancel keeps nothing.
TEST(RememberedFoldersTest, EachDialogOpensWhereItWasLastConfirmedInTheRunBefore) {
    const auto store = std::make_shared<FakeSettingsStore>();
    // The file confirmed in the first run's open dialog (nullopt: cancelled) and the folder
    // the second run's dialog opens in.
    const std::vector<std::pair<std::optional<std::string>, std::string>> files = {
        {"/games/data/a.xcr", "/games/data"},
        {std::nullopt, "/games/data"},
        {"/top.xcr", "/"},
        {"relative.xcr", "/"},
    };
    for (const auto& [confirmed, next] : files) {
        SCOPED_TRACE(confirmed.value_or("cancelled"));
        auto* first = new test::FakeFileDialog;
        first->replies.push_back(confirmed);
        RememberingFileDialog(std::unique_ptr<FileDialog>(first), store, "open").execute(nullptr);
        auto* second = new test::FakeFileDialog;
        RememberingFileDialog(std::unique_ptr<FileDialog>(second), store, "open");
        EXPECT_EQ(second->openedIn, next);
    }

    for (const std::string& answer : {"/out", "", "/out/more"}) {
        auto* first = new test::FakeFolderChooser;
        first->answer = answer;
        RememberingFolderChooser(std::unique_ptr<FolderChooser>(first), store, "extract")
            .execute(nullptr);
    }
    auto* next = new test::FakeFolderChooser;
    RememberingFolderChooser(std::unique_ptr<FolderChooser>(next), store, "extract");
    EXPECT_EQ(next->openedOn, "/out/more");
    EXPECT_EQ(store->values.size(), 2u);
}

}  // namespace
}  // namespace xcr
