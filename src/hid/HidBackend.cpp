#include "hid/HidBackend.h"

namespace kx520::hid {

const char* HidErrorText(HidError error) {
    switch (error) {
        case HidError::None: return "no error";
        case HidError::NotFound: return "no such device";
        case HidError::AccessDenied: return "permission denied";
        case HidError::Failed: return "open failed";
        case HidError::Unusable: return "report descriptor refused (malformed or over budget)";
    }
    return "open failed";
}

}  // namespace kx520::hid
