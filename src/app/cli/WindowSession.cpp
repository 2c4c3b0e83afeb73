#include "app/cli/WindowSession.h"

#include <cstdio>

#include "app/BuildVersion.h"
#include "app/cli/Datenpool.h"
#include "app/cli/Interrupt.h"
#include "app/cli/Platform.h"
#include "app/cli/Texts.h"
#include "db/OpenConnection.h"
#include "settings/OpenRegistry.h"

namespace cli {

WindowSession::WindowSession(const std::optional<std::string>& registryFile, std::optional<std::string> target,
                             Answers answers)
    : registry_(settings::openRegistry(registryFile, &interruptRequested)), view_(answers, isTerminal(stderr)) {
    const bool given = target.has_value();
    window_ = std::make_unique<app::MainWindow>(
        view_, *registry_,
        [given](const std::string& connection) {
            return given ? openTarget(connection) : db::openConnection(connection);
        },
        app::kBuildVersion);
    if (target) {
        checkTarget(*target, "--db");
        window_->useDatenpool(std::move(*target));
    }
    view_.onTextChanged = [this](app::Control control) {
        if (control == app::Control::txtIDVon) window_->txtIDVon_Change();
        if (control == app::Control::txtIdBis) window_->txtIdBis_Change();
    };
    // Ctrl+C during a conversion cancels it, as its button does.
    view_.onInterrupt = [this] { window_->cancelConversion(); };
}

bool WindowSession::start() {
    window_->Form_Load("");
    const app::DatenpoolCheck& check = window_->datenpoolCheck();
    if (check.convertible()) return true;
    if (!check.toldInMessageBox()) say(check.problem);
    if (check.finding == app::DatenpoolCheck::Finding::noProfile) say(std::string(texts::kGiveConnection));
    return false;
}

}  // namespace cli
