#include "base/in_out_error.h"

#include "archive/number_text.h"
#include "base/failure.h"
#include "base/messages.h"

void RaiseInOutError(uint32_t errorCode) {
    static const struct {
        uint32_t code;
        MessageId message;
    } kMessages[] = {
        {2, kMsgFileNotFound},      {3, kMsgInvalidFileName}, {4, kMsgTooManyOpenFiles},   {5, kMsgAccessDenied},
        {100, kMsgReadBeyondEnd},   {101, kMsgDiskFull},      {106, kMsgInvalidNumericInput},
    };
    for (const auto& known : kMessages) {
        if (known.code == errorCode) RaiseFailure(FailureKind::EInOutError, LoadMessage(known.message));
    }
    Text code = IntegerToText(static_cast<int32_t>(errorCode));
    RaiseFailure(FailureKind::EInOutError, FormatMessageText(LoadMessage(kMsgInOutError), &code, 1));
}
