#include "platform/locale_separators.h"

#include <langinfo.h>
#include <locale.h>

#include "platform/ansi_text.h"

namespace corvalo::platform {

LocaleSeparators SeparatorsFromLocaleTexts(std::string_view decimal, std::string_view thousands) {
    LocaleSeparators s;
    const char d = FirstAnsiChar(decimal);
    if (d != '\0' && d != kAnsiUnmappable) s.decimal = d;
    const char t = FirstAnsiChar(thousands);
    if (t != '\0' && t != kAnsiUnmappable && t != s.decimal) {
        s.thousands = t;
    } else {
        s.thousands = s.decimal == ',' ? '.' : ',';
    }
    return s;
}

LocaleSeparators ReadUserLocaleSeparators() {
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return {};
    const LocaleSeparators s =
        SeparatorsFromLocaleTexts(nl_langinfo_l(RADIXCHAR, loc), nl_langinfo_l(THOUSEP, loc));
    freelocale(loc);
    return s;
}

}  // namespace corvalo::platform
