#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// TempFolder is a fixture that gives each test a folder of its own under the
// test's temporary folder, for its journals and menus, removed afterwards.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::path(testing::TempDir()) /
                 ("restaurant-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Returns the path of `name` in the folder.
    std::string file(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};
