#include "db/odbc/SqlServerKeywords.h"

#include <cstdlib>
#include <vector>

#include "db/Names.h"

namespace db {

namespace {

enum class Drivers { All, Microsoft };
enum class Kind { Text, Switch };

struct Rename {
    const char* odbcName;
    Drivers drivers;
    Kind kind;
    std::vector<const char*> names;  // the provider's names for it, and the driver's own
};

const Rename kRenames[] = {
    {"Server", Drivers::All, Kind::Text, {"Data Source", "Server", "Address", "Addr", "Network Address"}},
    {"Database", Drivers::All, Kind::Text, {"Initial Catalog", "Database"}},
    {"UID", Drivers::All, Kind::Text, {"User ID", "UID", "User"}},
    {"PWD", Drivers::All, Kind::Text, {"Password", "PWD"}},
    {"APP", Drivers::All, Kind::Text, {"Application Name", "APP"}},
    {"WSID", Drivers::All, Kind::Text, {"Workstation ID", "WSID"}},
    {"Language", Drivers::All, Kind::Text, {"Current Language", "Language"}},
    {"Network", Drivers::Microsoft, Kind::Text, {"Network Library", "Network"}},
    {"Encrypt", Drivers::Microsoft, Kind::Switch, {"Use Encryption for Data", "Encrypt"}},
    {"TrustServerCertificate", Drivers::Microsoft, Kind::Switch, {"Trust Server Certificate", "TrustServerCertificate"}},
    {"MARS_Connection", Drivers::Microsoft, Kind::Switch, {"MARS Connection", "MultipleActiveResultSets", "MARS_Connection"}},
    {"MultiSubnetFailover", Drivers::Microsoft, Kind::Switch, {"Multi Subnet Failover", "MultiSubnetFailover"}},
    {"Failover_Partner", Drivers::Microsoft, Kind::Text, {"Failover Partner", "Failover_Partner"}},
    {"AttachDBFileName", Drivers::Microsoft, Kind::Text, {"Initial File Name", "AttachDBFileName"}},
    {"AutoTranslate", Drivers::Microsoft, Kind::Switch, {"Auto Translate", "AutoTranslate"}},
};

// The last value given under any of the names.
std::optional<std::string> lastOf(const std::vector<Keyword>& keywords, const std::vector<const char*>& names) {
    std::optional<std::string> found;
    for (const auto& keyword : keywords) {
        for (const char* name : names) {
            if (sameName(keyword.name, name)) found = keyword.value;
        }
    }
    return found;
}

bool isTrue(const std::string& value) {
    return sameName(value, "true") || sameName(value, "yes") || sameName(value, "sspi") || value == "1";
}

bool isFreeTds(const std::string& driver) { return driver.find("FreeTDS") != std::string::npos; }

// "ODBC Driver 18 for SQL Server" and later encrypt unless told otherwise.
bool encryptsByDefault(const std::string& driver) {
    constexpr std::string_view prefix = "ODBC Driver ";
    if (driver.rfind(prefix, 0) != 0) return false;
    return std::atoi(driver.c_str() + prefix.size()) >= 18;
}

// FreeTDS takes a host name and a port of its own: "tcp:srv,1433" becomes srv and 1433, and
// the local server (".", "(local)") localhost.
void addFreeTdsServer(std::vector<Keyword>& out, std::string server) {
    if (server.rfind("tcp:", 0) == 0) server.erase(0, 4);
    std::string port;
    if (const std::size_t comma = server.rfind(','); comma != std::string::npos) {
        port = server.substr(comma + 1);
        server.erase(comma);
    }
    if (server == "." || sameName(server, "(local)")) server = "localhost";
    out.push_back({"Server", server});
    if (!port.empty()) out.push_back({"Port", port});
}

}  // namespace

OdbcTarget sqlServerTarget(const std::vector<Keyword>& providerKeywords, const std::string& driver) {
    const bool freeTds = isFreeTds(driver);
    std::vector<Keyword> out{{"Driver", "{" + driver + "}"}};
    OdbcTarget target;
    for (const Rename& rename : kRenames) {
        if (freeTds && rename.drivers == Drivers::Microsoft) continue;
        auto value = lastOf(providerKeywords, rename.names);
        if (!value) continue;
        if (rename.kind == Kind::Switch) value = isTrue(*value) ? "Yes" : "No";
        if (freeTds && std::string_view(rename.odbcName) == "Server") {
            addFreeTdsServer(out, *value);
        } else {
            out.push_back({rename.odbcName, *value});
        }
    }
    if (const auto integrated = lastOf(providerKeywords, {"Integrated Security", "Trusted_Connection"}); integrated && isTrue(*integrated)) {
        out.push_back({"Trusted_Connection", "Yes"});
    }
    if (freeTds) {
        if (const auto encrypt = lastOf(providerKeywords, {"Use Encryption for Data", "Encrypt"})) {
            out.push_back({"Encryption", isTrue(*encrypt) ? "require" : "off"});
        }
    } else if (encryptsByDefault(driver) && !setting(out, "Encrypt")) {
        // The OLE DB providers before MSOLEDBSQL 19 do not encrypt unless told to; the
        // connection keeps what the stored keywords meant.
        const auto provider = lastOf(providerKeywords, {"Provider"}).value_or("");
        if (!sameName(provider.substr(0, 12), "MSOLEDBSQL19")) out.push_back({"Encrypt", "No"});
    }
    target.connectionString = odbcConnectionString(out);
    target.dataSource = lastOf(providerKeywords, kRenames[0].names).value_or("");
    target.catalog = lastOf(providerKeywords, kRenames[1].names).value_or("");
    if (const auto timeout = lastOf(providerKeywords, {"Connect Timeout", "Connection Timeout", "Timeout"})) {
        char* end = nullptr;
        const unsigned long seconds = std::strtoul(timeout->c_str(), &end, 10);
        if (!timeout->empty() && *end == '\0' && seconds <= 0xFFFFFFFFul) target.loginTimeoutSeconds = static_cast<std::uint32_t>(seconds);
    }
    return target;
}

}  // namespace db
