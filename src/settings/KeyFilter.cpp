#include "settings/KeyFilter.h"

namespace orsa::settings {

bool acceptsKey(FilteredField field, char32_t key) {
    if ((key >= U'0' && key <= U'9') || key == kBackspace) {
        return true;
    }
    return field == FilteredField::Edit1 && key == U'+';
}

}  // namespace orsa::settings
