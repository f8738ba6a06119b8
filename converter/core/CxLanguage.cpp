#include "CxLanguage.h"

namespace corvane {

std::string LanguageCode(std::int64_t LanguageId) {
    switch (LanguageId) {
    case 1025:
        return "ar";
    case 1028:
        return "zh";
    case 1031:
        return "de";
    case 1033:
        return "en";
    case 1034:
        return "es";
    case 1036:
        return "fr";
    case 1040:
        return "it";
    case 1041:
        return "ja";
    case 1049:
        return "ru";
    case 1053:
        return "sv";
    case 1054:
        return "th";
    case 2052:
        return "zh";
    case 2057:
        return "en";
    default:
        return {};
    }
}

} // namespace corvane
