// The SQL Server database script, read as sqlcmd reads it (batches ending at "GO", :setvar, the
// $(name) variables of -v): run against the law-office database it adds what is missing and
// leaves the office's own procedures alone unless the run is told to replace them.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string scriptText() {
    std::ifstream file(SCHEMA_DIR "/datenpool.sqlserver.sql", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// What sqlcmd sends, batch by batch, with the variables given by -v (names without regard to
// case; a :setvar of the script overrules them). A batch naming a variable that has no value
// is where sqlcmd stops: nothing from it on is sent.
struct SqlcmdRun {
    std::vector<std::string> batches;
    std::optional<std::string> stoppedAt;  // the variable without a value
};

SqlcmdRun sqlcmd(const std::string& script, std::map<std::string, std::string> variables) {
    SqlcmdRun run;
    std::istringstream lines(script);
    std::string line;
    std::string batch;
    const std::regex setvar(R"re(^:setvar\s+(\S+)\s+"?([^"]*)"?\s*$)re", std::regex::icase);
    const std::regex go(R"(\s*GO\s*)", std::regex::icase);
    const std::regex variable(R"(\$\(([^)]+)\))");
    const auto send = [&] {
        std::string sent;
        auto from = batch.cbegin();
        for (std::sregex_iterator it(batch.begin(), batch.end(), variable), end; it != end; ++it) {
            const auto value = variables.find(upper((*it)[1].str()));
            if (value == variables.end()) {
                run.stoppedAt = (*it)[1].str();
                return false;
            }
            sent.append(from, (*it)[0].first).append(value->second);
            from = (*it)[0].second;
        }
        run.batches.push_back(sent.append(from, batch.cend()));
        batch.clear();
        return true;
    };
    std::map<std::string, std::string> given;
    for (const auto& [name, value] : variables) given[upper(name)] = value;
    variables = given;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::smatch match;
        if (std::regex_match(line, match, setvar)) {
            variables[upper(match[1].str())] = match[2].str();
        } else if (std::regex_match(line, go)) {
            if (!send()) return run;
        } else {
            batch += line + "\n";
        }
    }
    if (batch.find_first_not_of(" \t\n") != std::string::npos) send();
    return run;
}

// The batch's statements without the comments.
std::string withoutComments(const std::string& batch) {
    return std::regex_replace(batch, std::regex(R"(--[^\n]*)"), "");
}

std::size_t occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

const char* const kProcedures[] = {"AdressImport", "Datenpflege"};

std::string batchOf(const SqlcmdRun& run, const std::string& procedure) {
    for (const auto& batch : run.batches) {
        if (upper(batch).find("PROCEDURE DBO." + upper(procedure)) != std::string::npos) return batch;
    }
    ADD_FAILURE() << "no batch names dbo." << procedure;
    return {};
}

TEST(SqlServerScript, ChoiceGivenWithMinusVReachesTheScript) {
    for (const char* choice : {"0", "1"}) {
        const SqlcmdRun run = sqlcmd(scriptText(), {{"ProzedurenErsetzen", choice}});
        EXPECT_FALSE(run.stoppedAt) << "a variable without a value: " << run.stoppedAt.value_or("");
        for (const char* procedure : kProcedures) {
            EXPECT_NE(batchOf(run, procedure).find(std::string("ELSE IF N'") + choice + "' = N'1'"), std::string::npos)
                << procedure << ": -v ProzedurenErsetzen=" << choice << " is not what the script decides by";
        }
    }
}

TEST(SqlServerScript, RunWithoutTheChoiceStopsBeforeItChangesAnything) {
    const SqlcmdRun run = sqlcmd(scriptText(), {});
    EXPECT_EQ(run.stoppedAt.value_or("<keiner>"), "ProzedurenErsetzen");
    EXPECT_TRUE(run.batches.empty()) << run.batches.size() << " batches sent before the stop";
    const SqlcmdRun wrong = sqlcmd(scriptText(), {{"ProzedurenErsetzen", "ja"}});
    ASSERT_FALSE(wrong.batches.empty());
    EXPECT_NE(wrong.batches.front().find("IF N'ja' NOT IN (N'0', N'1')\n    RAISERROR"), std::string::npos)
        << "a value other than 0 or 1 is refused in the first batch, so that -b stops the run there";
}

TEST(SqlServerScript, ProceduresAreCreatedWhereMissingAndReplacedOnlyWhenAsked) {
    const SqlcmdRun run = sqlcmd(scriptText(), {{"ProzedurenErsetzen", "0"}});
    for (const auto& batch : run.batches) {
        const std::string statements = upper(withoutComments(batch));
        EXPECT_EQ(statements.find("DROP PROCEDURE"), std::string::npos) << batch;
        EXPECT_EQ(statements.find("CREATE OR ALTER"), std::string::npos) << batch;
        EXPECT_FALSE(std::regex_search(statements, std::regex(R"((^|\n)\s*(CREATE|ALTER)\s+PROC)")))
            << "a procedure created or altered whatever is there:\n"
            << batch;
    }
    for (const std::string procedure : kProcedures) {
        const std::string batch = withoutComments(batchOf(run, procedure));
        const std::string name = "dbo." + procedure;
        const std::string created = "IF OBJECT_ID(N'" + name + "', N'P') IS NULL\nBEGIN\n" +
                                    "    EXEC (N'CREATE ' + @Rumpf);\n" + "    PRINT N'Die Prozedur " + name +
                                    " wurde angelegt.';\nEND\n";
        const std::string replaced = "ELSE IF N'0' = N'1'\nBEGIN\n    EXEC (N'ALTER ' + @Rumpf);\n";
        const std::string kept = "ELSE\n    PRINT N'Die Prozedur " + name + " ist vorhanden und bleibt, wie sie ist.';";
        const auto at = batch.find(created);
        ASSERT_NE(at, std::string::npos) << batch;
        EXPECT_EQ(batch.find(replaced), at + created.size()) << "ALTER only on request, after the CREATE:\n" << batch;
        EXPECT_NE(batch.find(kept), std::string::npos) << batch;
        EXPECT_EQ(occurrences(batch, "PROCEDURE " + name), 1u) << "one body for CREATE and ALTER:\n" << batch;
    }
}

}  // namespace
