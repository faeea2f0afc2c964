#include "profiles/MacroStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileTestFiles.h"
#include "profiles/MacroImage.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

using test::ReadAll;
using test::ReadJsonFile;
using test::WriteText;

Json::Value Event(const char* action, int type, int button, const char* delay) {
    Json::Value event(Json::objectValue);
    event["Action"] = action;
    event["Type"] = type;
    event["Button"] = button;
    event["Delay"] = delay;
    return event;
}

class Macros : public ::testing::Test {
protected:
    void SetUp() override {
        folder = temp.Path() + "/keyboard/";
        std::filesystem::create_directories(folder);
    }

    void WriteIndex(const std::string& entries) {
        WriteText(folder + "macro.config", R"({"MacroInfo": [)" + entries + "]}");
    }

    std::vector<std::string> Names(const MacroStore& store) const {
        std::vector<std::string> names;
        for (const MacroEntry& entry : store.Entries()) {
            names.push_back(entry.name);
        }
        return names;
    }

    test::TempDir temp;
    std::string folder;
};

TEST_F(Macros, NewMacroTakesTheSmallestFreeNumberAndWritesOnlyTheIndex) {
    WriteIndex(R"({"MacroName": "macro_1", "Guid": "a"}, {"MacroName": "MACRO_3", "Guid": "b"})");
    MacroStore store(folder);
    store.Load();
    const auto index = store.NewMacro();
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(*index, 2u);
    EXPECT_EQ(Names(store), (std::vector<std::string>{"macro_1", "MACRO_3", "macro_2"}));
    EXPECT_EQ(store.NewMacro().value(), 3u);
    EXPECT_EQ(store.Entries()[3].name, "macro_4");  // macro_3 is taken whatever its case

    const Json::Value index_file = ReadJsonFile(folder + "macro.config");
    ASSERT_EQ(index_file["MacroInfo"].size(), 4u);
    EXPECT_EQ(index_file["MacroInfo"][2]["MacroName"], "macro_2");
    EXPECT_NE(index_file["MacroInfo"][2]["Guid"], index_file["MacroInfo"][3]["Guid"]);
    EXPECT_FALSE(std::filesystem::exists(store.MacroPath(2)));
}

TEST_F(Macros, TheListStopsAtFiftyMacros) {
    MacroStore store(folder);
    store.Load();
    for (size_t i = 0; i < MacroStore::kMaxMacros; ++i) {
        ASSERT_TRUE(store.NewMacro().has_value()) << i;
    }
    EXPECT_FALSE(store.NewMacro().has_value());
    WriteText(temp.Path() + "/A.mac", R"({"Events": []})");
    EXPECT_FALSE(store.ImportMacro(temp.Path() + "/A.mac").has_value());
    MacroStore reread(folder);
    reread.Load();
    EXPECT_EQ(reread.Entries().size(), MacroStore::kMaxMacros);
}

TEST_F(Macros, ImportNamesAfterTheFileCopiesItByteForByteAndRefusesWhatIsNoObject) {
    WriteIndex(R"({"MacroName": "a", "Guid": "g1"})");
    const std::string source = temp.Path() + "/A.mac";
    const std::string text = "{ \"Events\" : [ {\"Action\":\"down\"} ], \"Own\": 1 }\n";
    WriteText(source, text);
    MacroStore store(folder);
    store.Load();
    const auto first = store.ImportMacro(source);
    const auto second = store.ImportMacro(source);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Names(store), (std::vector<std::string>{"a", "A_2", "A_3"}));
    EXPECT_EQ(ReadAll(store.MacroPath(*first)), text);
    EXPECT_EQ(std::filesystem::path(store.MacroPath(*first)).parent_path(),
              std::filesystem::path(folder).parent_path());

    WriteText(temp.Path() + "/list.mac", "[1, 2]");
    std::string error;
    EXPECT_FALSE(store.ImportMacro(temp.Path() + "/list.mac", &error).has_value());
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(store.Entries().size(), 3u);
}

TEST_F(Macros, EntriesKeepTheirPlacesButHostileIdentifiersNameNoFile) {
    // A key's macro number is a place in this list: nothing may shift.
    WriteIndex(R"({"MacroName": "up", "Guid": "../../outside"}, 7,
                  {"MacroName": "ok", "Guid": "good"})");
    WriteText(folder + "good.mac", R"({"Events": [{"Action": "up", "Type": 1, "Button": 4, "Delay": "35"}]})");
    MacroStore store(folder);
    store.Load();
    ASSERT_EQ(store.Entries().size(), 3u);
    EXPECT_EQ(store.MacroPath(0), "");
    EXPECT_EQ(store.MacroPath(1), "");
    EXPECT_EQ(store.EventCount(0), 0u);
    EXPECT_EQ(store.DeviceEvents(2), (std::vector<MacroEventBytes>{{35, 0, 1, 4}}));
    std::vector<MacroRow> rows;
    EXPECT_EQ(store.SaveMacro(0, rows), MacroStore::SaveResult::kFailed);
    EXPECT_FALSE(store.ExportMacro(0, temp.Path() + "/out.mac"));
    EXPECT_TRUE(store.DeleteMacro(0));  // its entry goes; no file outside is touched
    EXPECT_EQ(Names(store), (std::vector<std::string>{"", "ok"}));
}

TEST_F(Macros, AMacroNeverSavedIsExportedAsAnEmptyMacroFile) {
    MacroStore store(folder);
    store.Load();
    ASSERT_TRUE(store.NewMacro());
    const std::string out = temp.Path() + "/empty.mac";
    ASSERT_TRUE(store.ExportMacro(0, out));
    const Json::Value exported = ReadJsonFile(out);
    EXPECT_EQ(exported["MacroName"].asString(), "macro_1");
    EXPECT_TRUE(exported["Events"].isArray());
    EXPECT_EQ(exported["Events"].size(), 0u);
    EXPECT_EQ(exported["Version"].asInt(), 64);
}

TEST_F(Macros, RenameRefusesBlankAndTakenNamesAndKeepsOtherMembers) {
    WriteIndex(R"({"MacroName": "one", "Guid": "g1", "Colour": 3}, {"MacroName": "two", "Guid": "g2"})");
    MacroStore store(folder);
    store.Load();
    EXPECT_EQ(store.RenameMacro(0, "  "), MacroStore::RenameResult::kBlank);
    EXPECT_EQ(store.RenameMacro(0, "TWO"), MacroStore::RenameResult::kInUse);
    EXPECT_EQ(store.RenameMacro(0, "One"), MacroStore::RenameResult::kRenamed);  // its own name
    EXPECT_EQ(store.RenameMacro(5, "x"), MacroStore::RenameResult::kFailed);
    const Json::Value written = ReadJsonFile(folder + "macro.config");
    EXPECT_EQ(written["MacroInfo"][0]["MacroName"], "One");
    EXPECT_EQ(written["MacroInfo"][0]["Colour"], 3);
    EXPECT_EQ(written["MacroInfo"][1]["MacroName"], "two");
}

TEST_F(Macros, DeleteRemovesTheFileTheEntryAndNothingElse) {
    WriteIndex(R"({"MacroName": "one", "Guid": "g1"}, {"MacroName": "two", "Guid": "g2"})");
    WriteText(folder + "g1.mac", "{}");
    WriteText(folder + "g2.mac", "{}");
    MacroStore store(folder);
    store.Load();
    ASSERT_TRUE(store.DeleteMacro(0));
    EXPECT_FALSE(std::filesystem::exists(folder + "g1.mac"));
    EXPECT_TRUE(std::filesystem::exists(folder + "g2.mac"));
    EXPECT_EQ(ReadJsonFile(folder + "macro.config")["MacroInfo"].size(), 1u);
    EXPECT_FALSE(store.DeleteMacro(1));
}

TEST_F(Macros, SaveWritesDelaysAsDecimalTextSkipsEmptyRowsAndRefusesTooMany) {
    WriteIndex(R"({"MacroName": "m", "Guid": "g"})");
    MacroStore store(folder);
    store.Load();
    Json::Value withExtra = Event("down", 1, 4, "9");
    withExtra["Own"] = "kept";
    std::vector<MacroRow> rows{{withExtra, ""}, {Json::Value(), "5"},
                               {Event("up", 1, 4, "1"), "0035"}, {Event("up", 2, 9, ""), "soon"}};
    ASSERT_EQ(store.SaveMacro(0, rows), MacroStore::SaveResult::kSaved);
    EXPECT_EQ(rows[0].delay, "0");
    EXPECT_EQ(rows[2].delay, "35");
    const Json::Value written = ReadJsonFile(folder + "g.mac");
    EXPECT_EQ(written["MacroName"], "m");
    EXPECT_EQ(written["Guid"], "g");
    EXPECT_EQ(written["Version"], 64);
    ASSERT_EQ(written["Events"].size(), 3u);  // the row without an event is skipped, not the end
    EXPECT_EQ(written["Events"][0]["Delay"], "0");
    EXPECT_EQ(written["Events"][0]["Own"], "kept");
    EXPECT_EQ(written["Events"][1]["Delay"], "35");
    EXPECT_EQ(written["Events"][2]["Delay"], "0");  // not a number

    std::vector<MacroRow> many(MacroStore::kMaxEvents, MacroRow{Event("down", 1, 1, "1"), "1"});
    EXPECT_EQ(store.SaveMacro(0, many), MacroStore::SaveResult::kSaved);
    many.push_back(many.front());
    const std::string before = ReadAll(folder + "g.mac");
    EXPECT_EQ(store.SaveMacro(0, many), MacroStore::SaveResult::kTooManyEvents);
    EXPECT_EQ(ReadAll(folder + "g.mac"), before);
    EXPECT_EQ(many.size(), MacroStore::kMaxEvents + 1);  // the rows stay
}

TEST_F(Macros, LoadAndExportReadWhatSaveWrote) {
    WriteIndex(R"({"MacroName": "m", "Guid": "g"})");
    MacroStore store(folder);
    store.Load();
    std::vector<MacroRow> rows{{Event("down", 1, 4, "35"), "35"}, {Event("up", 1, 4, "2"), "2"}};
    ASSERT_EQ(store.SaveMacro(0, rows), MacroStore::SaveResult::kSaved);
    const auto loaded = MacroStore::LoadMacroEvents(store.MacroPath(0));
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].delay, "35");
    EXPECT_EQ(loaded[1].event["Action"], "up");
    EXPECT_TRUE(MacroStore::LoadMacroEvents(folder + "missing.mac").empty());

    ASSERT_TRUE(store.ExportMacro(0, temp.Path() + "/out.mac"));
    EXPECT_EQ(ReadAll(temp.Path() + "/out.mac"), ReadAll(store.MacroPath(0)));
}

// A .mac of `events` events (each a key press with `delay` ms after it).
std::string MacroText(size_t events, const char* delay = "10") {
    std::string text = R"({"Events": [)";
    for (size_t i = 0; i < events; ++i) {
        text += std::string(i == 0 ? "" : ",") + R"({"Action": "down", "Type": 10, "Button": 4, "Delay": ")" + delay +
                "\"}";
    }
    return text + "]}";
}

TEST_F(Macros, ImportRefusesWhatNoDeviceCanTakeAndSaysWhatWasWrong) {
    MacroStore store(folder);
    store.Load();
    const std::string padded = "{\"Events\": []" + std::string(MacroStore::kMaxFileBytes, ' ') + "}";
    const struct {
        const char* file;
        std::string text;
        const char* reason;
    } cases[] = {
        {"251.mac", MacroText(251), "at most 250"},
        {"large.mac", padded, "not a macro file"},
        {"events.mac", R"({"Events": {"a": 1}})", "not a list"},
        {"list.mac", "[1]", "not a JSON object"},
    };
    for (const auto& c : cases) {
        const std::string path = temp.Path() + "/" + c.file;
        WriteText(path, c.text);
        std::string error;
        EXPECT_FALSE(store.ImportMacro(path, &error).has_value()) << c.file;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.file << ": " << error;
        EXPECT_EQ(store.LastError(), error);
    }
    EXPECT_TRUE(store.Entries().empty());
    WriteText(temp.Path() + "/250.mac", MacroText(250));
    EXPECT_TRUE(store.ImportMacro(temp.Path() + "/250.mac").has_value());
    EXPECT_EQ(store.EventCount(0), 250u);
    EXPECT_FALSE(store.ImportMacro("250.mac").has_value());  // relative: whose folder?
    EXPECT_NE(store.LastError().find("absolute"), std::string::npos);
    EXPECT_FALSE(store.ExportMacro(0, "out.mac"));
    EXPECT_FALSE(std::filesystem::exists("out.mac"));
}

TEST_F(Macros, AFileOverTheLimitPutThereByHandReadsAsNoEventsAndALongDelayAsTheLongest) {
    WriteIndex(R"({"MacroName": "big", "Guid": "big"}, {"MacroName": "slow", "Guid": "slow"})");
    WriteText(folder + "big.mac", MacroText(300));
    WriteText(folder + "slow.mac", MacroText(1, "70000"));
    MacroStore store(folder);
    store.Load();
    EXPECT_EQ(store.EventCount(0), 0u);
    EXPECT_TRUE(store.DeviceEvents(0).empty());
    EXPECT_EQ(store.DeviceEvents(1), (std::vector<MacroEventBytes>{{0xFF, 0xFF, 0x8A, 4}}));
    EXPECT_EQ(MacroStore::LoadMacroEvents(store.MacroPath(1))[0].delay, "65535");
}

TEST_F(Macros, AWriteThatFailsSaysWhyAndTheListIsAsBefore) {
    // A file where the folder should be: every write fails, root or not.
    WriteText(temp.Path() + "/blocked", "");
    MacroStore store(temp.Path() + "/blocked/");
    store.Load();
    EXPECT_FALSE(store.NewMacro().has_value());
    EXPECT_NE(store.LastError().find("Not a directory"), std::string::npos) << store.LastError();
    EXPECT_TRUE(store.Entries().empty());
    WriteText(temp.Path() + "/a.mac", MacroText(1));
    EXPECT_FALSE(store.ImportMacro(temp.Path() + "/a.mac").has_value());
    EXPECT_EQ(store.LastError().find("not a macro"), std::string::npos) << store.LastError();
}

TEST(MacroEvents, BytesCarryTheDelayLowFirstAndThePressInBitSeven) {
    EXPECT_EQ(MacroStore::ReadMacroEvent(Event("up", 1, 4, "35")),
              (MacroEventBytes{35, 0, 1, 4}));
    EXPECT_EQ(MacroStore::ReadMacroEvent(Event("down", 1, 4, "35")),
              (MacroEventBytes{35, 0, 129, 4}));
    // Longer than two bytes hold: the longest delay, never the low 16 bits.
    EXPECT_EQ(MacroStore::ReadMacroEvent(Event("down", 5, 7, "70000")),
              (MacroEventBytes{0xFF, 0xFF, 133, 7}));
    Json::Value numeric = Event("up", 5, 7, "");
    numeric["Delay"] = 35;  // recoil files write the delay as a number
    EXPECT_EQ(MacroStore::ReadMacroEvent(numeric), (MacroEventBytes{35, 0, 5, 7}));
    EXPECT_EQ(MacroStore::ReadMacroEvent(Json::Value("junk")), (MacroEventBytes{0, 0, 0, 0}));
    EXPECT_EQ(MacroStore::DelayOf(Json::Value("-5")), 0u);
    EXPECT_EQ(MacroStore::DelayOf(Json::Value("99999999999")), 65535u);
    EXPECT_EQ(MacroStore::DelayOf(Json::Value(70000)), 65535u);
    EXPECT_EQ(MacroStore::DelayOf(Json::Value(65535.5)), 65535u);
}

TEST(MacroEvents, ActionsAndEventObjectsRoundTrip) {
    const MacroAction press{true, 30, 1, 120};
    const auto back = MacroStore::ParseAction(MacroStore::EventObject(press));
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->press);
    EXPECT_EQ(back->button, 30);
    EXPECT_EQ(back->type, 1);
    EXPECT_EQ(back->delay, 120u);
    EXPECT_FALSE(MacroStore::ParseAction(Event("hold", 1, 1, "1")).has_value());
}

std::vector<MacroEventBytes> Events(size_t count, uint8_t button) {
    return std::vector<MacroEventBytes>(count, MacroEventBytes{1, 0, 0x81, button});
}

TEST(MacroImageLayout, TwoMacrosOfTenAndTwentyEvents) {
    const std::vector<uint8_t> image = MacroImage::Build({Events(10, 4), Events(20, 5)});
    ASSERT_EQ(image.size(), 148u);
    EXPECT_EQ(MacroImage::Length({10, 20}), 148u);
    const std::vector<uint8_t> header{0xAA, 0x55, 148, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 64, 0};
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 20), header);
    // Each record: its count, two zero bytes, then the events.
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 20, image.begin() + 28),
              (std::vector<uint8_t>{10, 0, 0, 0, 1, 0, 0x81, 4}));
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 64, image.begin() + 72),
              (std::vector<uint8_t>{20, 0, 0, 0, 1, 0, 0x81, 5}));
    EXPECT_EQ(image.back(), 5);
    EXPECT_EQ(MacroImage::Overrun(148, 128), 6);
    EXPECT_EQ(MacroImage::Overrun(128, 128), 0);
}

TEST(MacroImageLayout, FourFullGunsAndAnImageTooLongForItsLengthField) {
    const std::vector<uint8_t> image =
        MacroImage::Build({Events(180, 1), Events(180, 2), Events(180, 3), Events(180, 4)});
    ASSERT_EQ(image.size(), 2920u);
    EXPECT_EQ(image[16] | image[17] << 8, 24);
    EXPECT_EQ(image[18] | image[19] << 8, 748);
    EXPECT_EQ(image[20] | image[21] << 8, 1472);
    EXPECT_EQ(image[22] | image[23] << 8, 2196);
    EXPECT_TRUE(MacroImage::Build({Events(16380, 1)}).empty());
    EXPECT_EQ(MacroImage::Build({}).size(), 16u);
}

}  // namespace
}  // namespace kx520::profiles
