#include "settings/StatusText.h"

#include "settings/Texts.h"

namespace settings {

std::string statusText(Status status) {
    std::string_view text;
    switch (status) {
        case kErrorFileNotFound: text = texts::kNotFound; break;
        case kErrorAccessDenied: text = texts::kAccessDenied; break;
        case kErrorInvalidHandle: text = texts::kInvalidHandle; break;
        case kErrorInvalidParameter: text = texts::kInvalidValue; break;
        case kErrorBadPathname: text = texts::kInvalidKeyPath; break;
        case kErrorRegistryIoFailed: text = texts::kNotWritten; break;
        case kErrorKeyDeleted: text = texts::kKeyDeleted; break;
        case kErrorNoUnicodeTranslation: text = texts::kNotInWindows1252; break;
        case kErrorCancelled: text = texts::kWaitCancelled; break;
        default: return texts::errorCode(status);
    }
    return texts::statusWithCode(text, status);
}

}  // namespace settings
