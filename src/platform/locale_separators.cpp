#include "platform/locale_separators.h"

#include <langinfo.h>
#include <locale.h>

#include "platform/ansi_text.h"

namespace corvalo::platform {

LocaleSeparators separatorsFromLocaleTexts(std::string_view decimal, std::string_view thousands) {
    LocaleSeparators s;
    const char d = firstAnsiChar(decimal);
    if (d != '\0' && d != kAnsiUnmappable) s.decimal = d;
    const char t = firstAnsiChar(thousands);
    if (t != '\0' && t != kAnsiUnmappable && t != s.decimal) {
        s.thousands = t;
    } else {
        s.thousands = s.decimal == ',' ? '.' : ',';
    }
    return s;
}

LocaleSeparators readUserLocaleSeparators() {
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return {};
    const LocaleSeparators s =
        separatorsFromLocaleTexts(nl_langinfo_l(RADIXCHAR, loc), nl_langinfo_l(THOUSEP, loc));
    freelocale(loc);
    return s;
}

}  // namespace corvalo::platform
