#include "base/messages.h"

#include "base/failure.h"

Text FormatMessageText(const Text& messageTemplate, const Text* arguments, size_t count) {
    Text result;
    size_t next = 0;
    for (size_t i = 0; i < messageTemplate.Length(); ++i) {
        char c = messageTemplate[i];
        bool placeholder = c == '%' && i + 1 < messageTemplate.Length() &&
                           (messageTemplate[i + 1] == 's' || messageTemplate[i + 1] == 'd' ||
                            messageTemplate[i + 1] == 'p');
        if (placeholder) {
            if (next < count) result.Append(arguments[next++]);
            ++i;
        } else {
            result.Append(c);
        }
    }
    return result;
}

const char* FailureKindName(FailureKind kind) {
    switch (kind) {
        case FailureKind::Exception: return "Exception";
        case FailureKind::EConvertError: return "EConvertError";
        case FailureKind::EInOutError: return "EInOutError";
        case FailureKind::EOutOfMemory: return "EOutOfMemory";
        case FailureKind::EAccessViolation: return "EAccessViolation";
        case FailureKind::EExternalException: return "EExternalException";
    }
    return "Exception";
}

void RaiseInvalidInteger(const Text& text) {
    RaiseFailure(FailureKind::EConvertError, FormatMessageText(LoadMessage(kMsgInvalidInteger), &text, 1));
}

void RaiseInvalidReal(const Text& text) {
    RaiseFailure(FailureKind::EConvertError, FormatMessageText(LoadMessage(kMsgInvalidReal), &text, 1));
}
