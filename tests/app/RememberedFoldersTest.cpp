#include <gtest/gtest.h>

#include "app/RememberingFileDialog.h"
#include "app/RememberingFolderChooser.h"
#include "tests/app/FakeServices.h"

namespace xcr {
namespace {

// Runs of the program one after the other share one store: each opens where the one
// before confirmed last; a cancel keeps nothing.
TEST(RememberedFoldersTest, EachDialogOpensWhereItWasLastConfirmedInTheRunBefore) {
    const auto store = std::make_shared<test::FakeSettingsStore>();
    // The file confirmed in a run (nullopt: cancelled) and where that run opened.
    for (const auto& [confirmed, opened] :
         std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"/games/data/a.xcr", ""},
             {std::nullopt, "/games/data"},
             {"/top.xcr", "/games/data"},
             {"relative.xcr", "/"},
             {std::nullopt, "/"}}) {
        auto* run = new test::FakeFileDialog;
        run->replies.push_back(confirmed);
        RememberingFileDialog dialog(std::unique_ptr<FileDialog>(run), store, "open");
        dialog.execute(nullptr);
        EXPECT_EQ(run->openedIn, opened);
    }
    // The folder confirmed in a run ("": cancelled) and where that run opened.
    for (const auto& [answer, opened] : std::vector<std::pair<std::string, std::string>>{
             {"/out", ""}, {"/out/more", "/out"}, {"", "/out/more"}}) {
        auto* run = new test::FakeFolderChooser;
        run->answer = answer;
        RememberingFolderChooser chooser(std::unique_ptr<FolderChooser>(run), store, "extract");
        chooser.execute(nullptr);
        EXPECT_EQ(run->openedOn, opened);
    }
}

}  // namespace
}  // namespace xcr
