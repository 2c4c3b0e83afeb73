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
    {"TrustServerCertificate",
     Drivers::Microsoft,
     Kind::Switch,
     {"Trust Server Certificate", "TrustServerCertificate"}},
    {"MARS_Connection",
     Drivers::Microsoft,
     Kind::Switch,
     {"MARS Connection", "MultipleActiveResultSets", "MARS_Connection"}},
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

bool isFalse(const std::string& value) { return sameName(value, "false") || sameName(value, "no") || value == "0"; }

bool isFreeTds(const std::string& driver) { return driver.find("FreeTDS") != std::string::npos; }

// "ODBC Driver 18 for SQL Server" and later encrypt unless told otherwise, check the server's
// certificate whenever the connection is encrypted, and know Mandatory, Optional and Strict.
bool isDriver18OrLater(const std::string& driver) {
    constexpr std::string_view prefix = "ODBC Driver ";
    if (driver.rfind(prefix, 0) != 0) return false;
    return std::atoi(driver.c_str() + prefix.size()) >= 18;
}

// The stored encryption ("Use Encryption for Data": True/False, or MSOLEDBSQL 19's Optional,
// Mandatory, Strict) in the driver's words. A value neither knows goes as it is, so that the
// driver refuses it instead of the connection going unencrypted.
std::string microsoftEncrypt(const std::string& stored, bool driver18) {
    if (isTrue(stored)) return "Yes";
    if (isFalse(stored)) return "No";
    if (sameName(stored, "Mandatory")) return driver18 ? "Mandatory" : "Yes";
    if (sameName(stored, "Optional")) return driver18 ? "Optional" : "No";
    if (sameName(stored, "Strict")) return driver18 ? "Strict" : "Yes";
    return stored;
}

std::string freeTdsEncryption(const std::optional<std::string>& stored) {
    if (!stored || isFalse(*stored) || sameName(*stored, "Optional")) return "request";
    if (isTrue(*stored) || sameName(*stored, "Mandatory")) return "require";
    if (sameName(*stored, "Strict")) return "strict";
    return *stored;
}

bool encrypts(const std::string& encrypt) { return !sameName(encrypt, "No") && !sameName(encrypt, "Optional"); }

// FreeTDS takes a host name with either an instance (looked up through the SQL Server Browser)
// or a port: "tcp:srv\KANZLEI,1433" becomes srv and 1433, as Microsoft's drivers take the port
// before the instance; the local server ("." or "(local)") is localhost.
void addFreeTdsServer(std::vector<Keyword>& out, std::string server) {
    if (server.rfind("tcp:", 0) == 0) server.erase(0, 4);
    std::string port;
    if (const std::size_t comma = server.rfind(','); comma != std::string::npos) {
        port = server.substr(comma + 1);
        server.erase(comma);
    }
    std::string instance;
    if (const std::size_t backslash = server.find('\\'); backslash != std::string::npos) {
        instance = server.substr(backslash);
        server.erase(backslash);
    }
    if (server == "." || sameName(server, "(local)")) server = "localhost";
    out.push_back({"Server", port.empty() ? server + instance : server});
    if (!port.empty()) out.push_back({"Port", port});
}

}  // namespace

OdbcTarget sqlServerTarget(const std::vector<Keyword>& providerKeywords, const std::string& driver) {
    const bool freeTds = isFreeTds(driver);
    const bool driver18 = isDriver18OrLater(driver);
    // The OLE DB providers before MSOLEDBSQL 19 encrypt only when asked to, and check the
    // certificate only then; where the server forces encryption they take any certificate.
    // Driver 18 would check it and refuse a connection that works in the office.
    const auto provider = lastOf(providerKeywords, {"Provider"}).value_or("");
    const auto encrypt = lastOf(providerKeywords, {"Use Encryption for Data", "Encrypt"});
    const bool uncheckedEncryption = driver18 && !sameName(provider.substr(0, 12), "MSOLEDBSQL19") &&
                                     (!encrypt || !encrypts(microsoftEncrypt(*encrypt, driver18)));
    std::vector<Keyword> out{{"Driver", "{" + driver + "}"}};
    for (const Rename& rename : kRenames) {
        if (freeTds && rename.drivers == Drivers::Microsoft) continue;
        if (uncheckedEncryption && std::string_view(rename.odbcName) == "TrustServerCertificate") continue;
        auto value = lastOf(providerKeywords, rename.names);
        if (!value) continue;
        if (freeTds && std::string_view(rename.odbcName) == "Server") {
            addFreeTdsServer(out, *value);
            continue;
        }
        if (std::string_view(rename.odbcName) == "Encrypt") {
            value = microsoftEncrypt(*value, driver18);
        } else if (rename.kind == Kind::Switch) {
            value = isTrue(*value) ? "Yes" : "No";
        }
        out.push_back({rename.odbcName, *value});
    }
    if (const auto integrated = lastOf(providerKeywords, {"Integrated Security", "Trusted_Connection"});
        integrated && isTrue(*integrated)) {
        out.push_back({"Trusted_Connection", "Yes"});
    }
    if (freeTds) {
        out.push_back({"Encryption", freeTdsEncryption(encrypt)});
        out.push_back({"TDS_Version", "7.4"});
        out.push_back({"ClientCharset", "UTF-8"});
    } else if (uncheckedEncryption) {
        if (!encrypt) out.push_back({"Encrypt", "No"});
        out.push_back({"TrustServerCertificate", "Yes"});
    }
    OdbcTarget target;
    target.connectionString = odbcConnectionString(out);
    target.dataSource = lastOf(providerKeywords, kRenames[0].names).value_or("");
    target.catalog = lastOf(providerKeywords, kRenames[1].names).value_or("");
    target.errorNumbers = ErrorNumbers::SqlServer;
    setTimeouts(target, providerKeywords);
    return target;
}

}  // namespace db
