// The interfaces the application publishes on the session bus, as
// introspection gives them, are the ones docs/dbus.md describes: every
// member with its argument types and names, none missing, none extra.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

#include "app/AppProgram.h"
#include "support/ProgramRun.h"

namespace kx520 {
namespace {

// "Name(t name, t name) → t" for each method and signal of `interface` in
// the introspection XML `xml`.
std::set<std::string> Introspected(const std::string& xml, const std::string& interface) {
    std::set<std::string> members;
    const size_t from = xml.find("<interface name=\"" + interface + "\">");
    const size_t to = xml.find("</interface>", from);
    if (from == std::string::npos || to == std::string::npos) {
        return members;
    }
    const std::string body = xml.substr(from, to - from);
    static const std::regex member(R"re(<(method|signal) name="(\w+)">([\s\S]*?)</\1>|<(method|signal) name="(\w+)"/>)re");
    static const std::regex arg(R"re(<arg ([^>]*)/>)re");
    static const std::regex attribute(R"re((\w+)="([^"]*)")re");
    for (auto m = std::sregex_iterator(body.begin(), body.end(), member); m != std::sregex_iterator(); ++m) {
        const std::string name = (*m)[2].matched ? (*m)[2].str() : (*m)[5].str();
        const bool signal = (*m)[1].str() == "signal";  // its arguments are all sent
        const std::string args = (*m)[3].str();
        std::string in;
        std::string out;
        for (auto a = std::sregex_iterator(args.begin(), args.end(), arg); a != std::sregex_iterator(); ++a) {
            const std::string text = (*a)[1].str();
            std::map<std::string, std::string> attributes;
            for (auto t = std::sregex_iterator(text.begin(), text.end(), attribute); t != std::sregex_iterator(); ++t) {
                attributes[(*t)[1].str()] = (*t)[2].str();
            }
            if (attributes["direction"] == "out" && !signal) {
                out = attributes["type"];
            } else {
                in += (in.empty() ? "" : ", ") + attributes["type"] + " " + attributes["name"];
            }
        }
        members.insert(name + "(" + in + ")" + (out.empty() ? "" : " → " + out));
    }
    return members;
}

// The members of the table under `heading` (up to the next heading) of the doc.
std::set<std::string> Documented(const std::string& doc, const std::string& heading) {
    std::set<std::string> members;
    const size_t from = doc.find(heading);
    const size_t to = doc.find("\n## ", from + heading.size());
    const std::string part = doc.substr(from, to == std::string::npos ? std::string::npos : to - from);
    static const std::regex row(R"re(\n\| `(\w+\([^`]*)` \| (method|signal) \|)re");
    for (auto r = std::sregex_iterator(part.begin(), part.end(), row); r != std::sregex_iterator(); ++r) {
        members.insert((*r)[1].str());
    }
    return members;
}

TEST(AppBusDocs, TheDocumentedMembersAreTheOnesTheApplicationPublishes) {
    test::App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    const auto introspection = test::Shell(
        "dbus-send --session --print-reply=literal --dest=org.kx520.Application /org/kx520/Application "
        "org.freedesktop.DBus.Introspectable.Introspect");
    ASSERT_EQ(introspection.exitCode, 0) << introspection.err;
    const std::string doc = test::ReadAll(KX520_DOCS_DIR "/dbus.md");
    ASSERT_FALSE(doc.empty());
    const struct {
        const char* interface;
        const char* heading;
    } interfaces[] = {{"org.kx520.Application", "# The application on the session bus"},
                      {"org.kx520.Automation", "## Automation"}};
    for (const auto& i : interfaces) {
        const auto published = Introspected(introspection.out, i.interface);
        EXPECT_FALSE(published.empty()) << i.interface;
        EXPECT_EQ(Documented(doc, i.heading), published) << i.interface;
    }
}

}  // namespace
}  // namespace kx520
