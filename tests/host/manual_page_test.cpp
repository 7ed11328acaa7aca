// The manual page keeps up with the command table: a subsection for every command, naming
// every option of its usage line, and no subsection for a command that is gone.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "quizpack/commands/command_shell.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"

namespace {

using namespace test_support;

const char kManualPage[] = "docs/quizpack.1.in";

// A subsection opens with `.SS "NAME ...` and runs to the next .SS or .SH.
std::string subsection(const std::string& page, const std::string& name) {
    std::smatch found;
    if (!std::regex_search(page, found, std::regex("\n\\.SS \"?" + name + "[ \"\n]"))) {
        return "";
    }
    size_t start = static_cast<size_t>(found.position(0)) + 1;
    return page.substr(start, page.find("\n.S", start) - start);
}

TEST(ManualPage, DescribesEveryCommandAndItsOptions) {
    const std::string page = readFile(sourcePath(kManualPage));
    ASSERT_NE(page, "<missing>") << kManualPage;
    const std::regex option("(^|[ \\[|])(--?[a-z][-a-z]*)");
    std::set<std::string> commands;
    for (const Command& c : kCommands) {
        commands.insert(c.name);
        const std::string text = subsection(page, c.name);
        if (text.empty()) {
            ADD_FAILURE() << kManualPage << " has no subsection \".SS \\\"" << c.name << " ...\"";
            continue;
        }
        const std::string usage = c.usage;
        for (std::sregex_iterator o(usage.begin(), usage.end(), option), end; o != end; ++o) {
            // roff writes every '-' of an option as "\-".
            std::string written = std::regex_replace((*o)[2].str(), std::regex("-"), "\\-");
            EXPECT_NE(text.find(written), std::string::npos)
                << kManualPage << ": quizpack " << c.name << " does not name " << (*o)[2];
        }
    }
    const std::regex heading("\n\\.SS \"?([a-z]+)");
    for (std::sregex_iterator h(page.begin(), page.end(), heading), end; h != end; ++h) {
        EXPECT_EQ(commands.count((*h)[1]), 1u)
            << kManualPage << " describes '" << (*h)[1] << "', which is no command";
    }
}

} // namespace
