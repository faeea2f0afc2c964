#include "platform/SafeJson.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"

namespace kx520::json {
namespace {

TEST(SafeJson, WrongTypesReadAsNothingInsteadOfThrowing) {
    const auto root = Parse(R"({"int": 7, "big": 4294967296, "neg": -5, "text": "x",
        "list": [1, 2], "object": {"a": 1}, "real": 3.0, "half": 2.5, "yes": true,
        "huge": 1e300})");
    ASSERT_TRUE(root);
    EXPECT_EQ(Int(Member(*root, "int")), 7);
    EXPECT_EQ(Int(Member(*root, "neg")), -5);
    EXPECT_EQ(Int(Member(*root, "big")), 0);  // beyond 32 bits
    EXPECT_EQ(Int(Member(*root, "text")), 0);
    EXPECT_EQ(Int(Member(*root, "list")), 0);
    EXPECT_EQ(Int(Member(*root, "object")), 0);
    EXPECT_EQ(Int(Member(*root, "real")), 3);
    EXPECT_EQ(Int(Member(*root, "half")), 0);
    EXPECT_EQ(Int(Member(*root, "huge")), 0);
    EXPECT_EQ(Int(Member(*root, "yes")), 1);
    EXPECT_TRUE(Bool(Member(*root, "int")));
    EXPECT_EQ(String(Member(*root, "text")), "x");
    EXPECT_EQ(String(Member(*root, "int")), "");
    // Member access on a non-object and elements outside an array are null.
    EXPECT_TRUE(Member(Member(*root, "list"), "a").isNull());
    EXPECT_TRUE(Member(Member(*root, "int"), "a").isNull());
    EXPECT_EQ(Int(Element(Member(*root, "list"), 1)), 2);
    EXPECT_TRUE(Element(Member(*root, "list"), 2).isNull());
    EXPECT_TRUE(Element(Member(*root, "object"), 0).isNull());
}

TEST(SafeJson, BrokenTooDeepAndTooLargeDocumentsAreRefused) {
    std::string error;
    EXPECT_FALSE(Parse("{\"a\": ", &error));
    EXPECT_FALSE(error.empty());
    const std::string deep = std::string(200, '[') + std::string(200, ']');
    EXPECT_FALSE(Parse(deep, &error));
    EXPECT_TRUE(Parse(std::string(20, '[') + std::string(20, ']')));
    ParseLimits small;
    small.maxBytes = 8;
    EXPECT_FALSE(Parse("[1,2,3,4,5]", &error, small));

    test::TempDir temp;
    const std::string path = temp.Path() + "/big.json";
    std::ofstream(path) << "[" << std::string(64, ' ') << "]";
    EXPECT_FALSE(ReadFile(path, &error, small));
    EXPECT_TRUE(ReadFile(path));
    EXPECT_FALSE(ReadFile(temp.Path() + "/missing.json", &error));
}

}  // namespace
}  // namespace kx520::json
