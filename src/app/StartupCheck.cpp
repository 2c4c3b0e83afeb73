#include "app/StartupCheck.h"

#include "app/Texts.h"

namespace app {

DatenpoolCheck connectionFailed(const db::Error& error) {
    return {DatenpoolCheck::Finding::unreachable, error.kind() == db::Error::Kind::driverNotLoaded
                                                      ? texts::driverNotLoaded(error.description())
                                                      : texts::connectionFailed(error.description())};
}

DatenpoolCheck noConnectionParameters(const db::Error& error, const std::string& datenbank,
                                      const std::string& settingsLocation) {
    return {DatenpoolCheck::Finding::noProfile,
            texts::noConnectionParameters(datenbank, settingsLocation, error.description())};
}

DatenpoolCheck checkDatenpool(db::Connection& connection) {
    try {
        if (!connection.hasTable("AdressenImport")) {
            return {DatenpoolCheck::Finding::noStagingTable, texts::missingStagingTable(connection.identity())};
        }
        if (const auto why = connection.whyReadOnly()) {
            return {DatenpoolCheck::Finding::readOnly, texts::readOnlyDatenpool(connection.identity(), *why)};
        }
    } catch (const db::Error& error) {
        return {DatenpoolCheck::Finding::unreachable, texts::datenpoolNotCheckable(error.description())};
    }
    return {};
}

}  // namespace app
