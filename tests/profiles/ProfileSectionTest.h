#pragma once

#include <gtest/gtest.h>
#include <json/value.h>

#include <string>

#include "ProfileTestFiles.h"
#include "support/TempDir.h"

namespace kx520::test {

// A profile file holding one device section, in a folder of its own,
// loaded into a profile data object of kind `Data`.
template <typename Data>
class ProfileSectionTest : public ::testing::Test {
protected:
    void Load(const std::string& section) {
        path = temp.Path() + "/p.Json";
        WriteText(path, R"({"profilename": "p", "profileUUID": "p", "Device": [)" + section + "]}");
        data.SetProfilePath(path);
        data.LoadSection(path);
    }

    // Saves and reads the section back from the disk.
    Json::Value Saved() {
        EXPECT_TRUE(data.Save());
        return ReadJsonFile(path)["Device"][0];
    }

    TempDir temp;
    std::string path;
    Data data;
};

}  // namespace kx520::test
