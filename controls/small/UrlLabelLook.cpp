#include "controls/small/UrlLabelLook.h"

TLabelLook THoverLook::Enter(const TLabelLook& current, const TLabelLook& hover) {
    if (!IsHovered)
        Saved = current;
    IsHovered = true;
    return hover;
}

TLabelLook THoverLook::Leave(const TLabelLook& current) {
    if (!IsHovered)
        return current;
    IsHovered = false;
    return Saved;
}
